// The programmer's self-test against the simulated programmer: a clean pass with an empty socket
// on each model family, and each sub-test finding the one fault injected for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "app/core/selftest/SelfTest.h"
#include "services/AppState.h"
#include "sim/chips/LogicChip.h"
#include "support/SimFixture.h"

namespace zelvar {
namespace self_test_test {

class SelfTestTest : public test::SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    gApp.Reset();
    gApp.ProgramDir = ZELVAR_PROGRAM_DIR;
    test.random = [] { return 7; };
  }
  void TearDown() override {
    gApp.Reset();
    SimFixture::TearDown();
  }
  // A programmer of `model` and a fresh record of what the user saw.
  void Start(int model) {
    Connect(model);
    fake = test::FakeServices{};
    SetServices(&fake);
    test.random = [] { return 7; };
  }
  bool Logged(const std::string& text) const {
    const auto lines = fake.LogTexts();
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  }

  SelfTest test;
};

TEST(SelfTestCode, ReportCodeArithmetic) {
  EXPECT_EQ(SelfTestReportCode(3, 12, 7), 459539);
  EXPECT_EQ(SelfTestReportCode(11, 0, 0), 2816);
  EXPECT_EQ(SelfTestReportCode(8, 48, 99), 99 * 65536 + 8 * 256 + 48 + 99);
}

TEST_F(SelfTestTest, AnEmptySocketPassesOnEveryModelFamily) {
  for (const int model : {6200, 6300, 5149, 5107, 5106}) {
    SCOPED_TRACE(model);
    Start(model);
    test.Run();
    EXPECT_EQ(test.error, 0);
    EXPECT_EQ(gLink.StatusWord, 0);
    EXPECT_EQ(prog->loadedDesign, "testpin");
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(fake.beeps, std::vector<BeepKind>{BeepKind::Success});
    EXPECT_TRUE(Logged("The programmer all right "));
    EXPECT_TRUE(prog->record.hazards.empty());
    EXPECT_TRUE(prog->record.protocolErrors.empty());
    const std::vector<std::string> busy = {"busy:Check-up programmer...",
                                           "busy:step 1",
                                           "busy:step 2",
                                           "busy:step 3",
                                           "busy:step 4",
                                           "busy:step 5",
                                           "busy:step 6",
                                           "busy:step 7",
                                           "busy:hide"};
    std::vector<std::string> events;
    for (const auto& e : fake.events) {
      if (e.rfind("busy:", 0) == 0) events.push_back(e);
    }
    // The bitstream load turns the busy window too; the self-test's own steps close the list.
    ASSERT_GE(events.size(), busy.size());
    EXPECT_TRUE(std::equal(busy.begin() + 1, busy.end(), events.end() - (busy.size() - 1)));
  }
}

TEST_F(SelfTestTest, EachSubTestFindsItsFault) {
  struct Case {
    const char* what;
    int model;
    std::function<void(sim::Programmer&)> inject;
    int error, detail;
    const char* log;
  };
  const Case cases[] = {
      {"a chip in the socket", 6200,
       [](sim::Programmer& p) { p.PlaceChipAtBottom(sim::MakeLogicChip("7400")); }, kSocketNotEmpty,
       27, "插座不空!"},
      {"silent logic", 6200, [](sim::Programmer& p) { p.socketFaults.silentLogic = true; },
       kNoLogicIdentity, 0, nullptr},
      {"no 12 V", 5149, [](sim::Programmer& p) { p.socketFaults.noHighVoltage = true; },
       kNoHighVoltage, 0, nullptr},
      {"a pin shorted to ground", 6200, [](sim::Programmer& p) { p.socketFaults.stuckLowPin = 14; },
       kGroundStuck, 14, nullptr},
      {"a dead ground switch", 5149, [](sim::Programmer& p) { p.socketFaults.deadGndPin = 22; },
       kGroundSwitch, 22, nullptr},
      {"an open resistor", 5149, [](sim::Programmer& p) { p.socketFaults.openResistorPin = 33; },
       kResistorNetwork, 33, nullptr},
      {"no VCC on a pin", 5106, [](sim::Programmer& p) { p.socketFaults.deadVccPin = 17; }, kNoVcc,
       17, "No VCC on pin 17"},
      {"no VPP on a pin", 6200, [](sim::Programmer& p) { p.socketFaults.deadVppPin = 9; }, kNoVpp,
       9, "No vpp on pin 9"},
      {"a sticking VPP switch", 5149, [](sim::Programmer& p) { p.socketFaults.stickyVppPin = 12; },
       kVppShort, 12, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(c.model);
    c.inject(*prog);
    test.Run();
    EXPECT_EQ(test.error, c.error);
    EXPECT_EQ(test.detail, c.detail);
    // Every pin found at fault counts; the identity alone does not.
    EXPECT_EQ(gLink.StatusWord, c.error == kNoLogicIdentity  ? 0
                                : c.error == kSocketNotEmpty ? 13
                                                             : 1);
    const int code = SelfTestReportCode(c.error, c.detail, 7);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0], "Check error: " + std::to_string(code));
    EXPECT_EQ(fake.beeps, (std::vector<BeepKind>{BeepKind::Error, BeepKind::Error}));
    // A chip left in the socket is the user's to take out, not a fault of the programmer.
    EXPECT_EQ(Logged("The programmer has a problem! "), c.error != kSocketNotEmpty);
    EXPECT_EQ(Logged("Empty the socket first, then run the self-test again. "),
              c.error == kSocketNotEmpty);
    if (c.log) {
      EXPECT_TRUE(Logged(c.log));
    }
    EXPECT_TRUE(prog->record.hazards.empty());
  }
}

TEST_F(SelfTestTest, AModelWithoutFpgaIsRefused) {
  Connect(411);
  test.Run();
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0], "This modal not suport back-check!");
  EXPECT_TRUE(prog->record.transcript.empty());
}

}  // namespace self_test_test
}  // namespace zelvar
