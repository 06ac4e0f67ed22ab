#include <gtest/gtest.h>

#include "app/core/startup/ProgrammerStart.h"
#include "link/LinkState.h"
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

}  // namespace
}  // namespace zelvar
