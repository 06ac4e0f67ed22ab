#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/Backend.h"
#include "app/core/startup/ProgrammerStart.h"
#include "link/LinkState.h"
#include "sim/Programmer.h"
#include "support/FakeServices.h"

namespace zelvar {
namespace {

class ProgrammerStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gLink.Reset();
    SetServices(&fake);
  }
  void TearDown() override {
    SetServices(nullptr);
    gLink.Reset();
  }
  test::FakeServices fake;
};

TEST_F(ProgrammerStartTest, NamedSimulatedModelConnects) {
  ProgrammerStart s = StartProgrammer({"--programmer=sim:5149"});
  ASSERT_TRUE(s.backend);
  EXPECT_TRUE(s.connected);
  EXPECT_FALSE(s.fellBack);
  EXPECT_EQ(gLink.ModelNumber, 5149);
  EXPECT_STREQ(gLink.ProgrammerName, "zor5149");
}

TEST_F(ProgrammerStartTest, WithoutAnOptionNoUsbProgrammerFallsBackQuietly) {
  // The test machine has no programmer on USB.
  ProgrammerStart s = StartProgrammer({});
  ASSERT_TRUE(s.backend);
  EXPECT_TRUE(s.connected);
  EXPECT_TRUE(s.fellBack);
  EXPECT_TRUE(s.backend->simulated());
  EXPECT_EQ(gLink.ModelNumber, 6200);
  EXPECT_TRUE(fake.boxes.empty()) << "the failed USB attempt shows no box";
}

TEST_F(ProgrammerStartTest, MalformedOptionConnectsNothing) {
  ProgrammerStart s = StartProgrammer({"--programmer=sim:abc"});
  EXPECT_FALSE(s.backend);
  EXPECT_FALSE(s.connected);
  EXPECT_FALSE(s.error.empty());
  EXPECT_EQ(gLink.ModelNumber, 0);
}

TEST_F(ProgrammerStartTest, SimulatedChipGoesIntoTheSocket) {
  ProgrammerStart s = StartProgrammer({"--programmer=sim", "--sim-chip=27C256"});
  ASSERT_TRUE(s.backend);
  EXPECT_TRUE(s.connected);
  ASSERT_NE(s.backend->programmer()->chip(), nullptr);
  EXPECT_GT(s.backend->programmer()->SocketPinOf(1), 0);

  // An unknown part, or a chip for the real programmer, connects nothing and says why.
  for (const auto& args : {std::vector<std::string>{"--programmer=sim", "--sim-chip=27C999"},
                           std::vector<std::string>{"--programmer=usb", "--sim-chip=27C256"}}) {
    gLink.Reset();
    ProgrammerStart bad = StartProgrammer(args);
    EXPECT_FALSE(bad.backend) << args[0];
    EXPECT_FALSE(bad.connected);
    EXPECT_NE(bad.error.find("--sim-chip"), std::string::npos) << bad.error;
  }
}

}  // namespace
}  // namespace zelvar
