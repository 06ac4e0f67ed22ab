// Connecting at start-up on the simulated programmer: the model keys, the name query's tries,
// the info block, the idle state, the driver check and the back-end choice.
#include "link/Connect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/core/Backend.h"
#include "link/Usb.h"
#include "support/SimFixture.h"

namespace zelvar {
namespace connect_test {

using test::SimFixture;

// The programmer is plugged in but not yet opened: ConnectProgrammer does the whole road.
class Connecting : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    Unopened(6200);
    // Long enough for the event thread to attach on a loaded machine: an attach ends the wait.
    SetAttachWaitMs(2000);
  }
  // A new simulated programmer of `model`, plugged in but not opened.
  void Unopened(int model) {
    Connect(model);
    CloseUsbDevice();
    gLink.ModelNumber = 0;
    fake.log.clear();
    fake.boxes.clear();
  }
  void TearDown() override {
    SetAttachWaitMs(0);
    SimFixture::TearDown();
  }
  // Commands with their argument bytes, without padding and settle commands.
  std::vector<std::vector<int>> CommandsFrom(std::size_t first) const {
    std::vector<std::vector<int>> out;
    for (std::size_t i = first; i < prog->record.transcript.size(); ++i) {
      const auto& c = prog->record.transcript[i];
      if (c.op() == 0 || c.op() == kCmdSettle) continue;
      out.emplace_back(c.bytes.begin(), c.bytes.begin() + std::min<int>(c.length, 3));
    }
    return out;
  }
  int NameQueries() const {
    return static_cast<int>(std::count_if(
        prog->record.transcript.begin(), prog->record.transcript.end(),
        [](const sim::Command& c) { return c.op() == kCmdSetRegister && c.bytes[1] == 17; }));
  }
};

TEST_F(Connecting, TheModelKeysDecideTheModelNumber) {
  struct Case {
    const char* reply;
    int model;
  };
  const Case cases[] = {
      {"zor5105+", 5106}, {"zor5105x", 5105}, {"zor5106", 5106}, {"zor411", 411}, {"zor0057", 57},
      {"zor5149", 5149},  {"zor6400", 6400},  {"zor5148", 0},    {"zor57", 0},    {"zor62", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    Unopened(6200);
    prog->SetModel(6200, c.reply);
    EXPECT_EQ(ConnectProgrammer(), c.model != 0);
    EXPECT_EQ(gLink.ModelNumber, c.model);
    if (c.model) {
      EXPECT_STREQ(gLink.ProgrammerName, c.reply);
      EXPECT_EQ(fake.LogTexts(), (std::vector<std::string>{c.reply, "Connectting OK "}));
    } else {
      EXPECT_STREQ(gLink.ProgrammerName, "");
      EXPECT_EQ(fake.LogTexts(), std::vector<std::string>{"Not find Zor programmer "});
    }
    EXPECT_TRUE(fake.boxes.empty());
  }
}

TEST_F(Connecting, TheNameIsTheFirstSixteenCharacters) {
  prog->SetModel(5149, "zor5149 ABCDEFGHIJKLMNOP");
  ASSERT_TRUE(ConnectProgrammer());
  EXPECT_STREQ(gLink.ProgrammerName, "zor5149 ABCDEFGH");
  EXPECT_EQ(gLink.ModelNumber, 5149);
}

TEST_F(Connecting, TheNameIsAskedThreeTimesAtMost) {
  prog->SetModel(6200, "Zor6200");  // does not begin with 'z'
  EXPECT_FALSE(ConnectProgrammer());
  EXPECT_EQ(NameQueries(), 3);
  EXPECT_EQ(gLink.ModelNumber, 0);
  EXPECT_EQ(fake.LogTexts(), std::vector<std::string>{"Read Error! "});

  // One failed read is asked again and the second answer counts.
  Unopened(6200);
  prog->faults.failNextRead = true;
  EXPECT_TRUE(ConnectProgrammer());
  EXPECT_EQ(NameQueries(), 2);
  EXPECT_EQ(gLink.ModelNumber, 6200);
}

TEST_F(Connecting, AnInfoBlockWithoutItsMarkIsZeroed) {
  ASSERT_TRUE(ConnectProgrammer());
  EXPECT_EQ(gLink.ProgrammerInfo, prog->infoBlock());
  EXPECT_EQ(gLink.ProgrammerInfo[0], 'i');

  Unopened(6200);
  prog->infoBlock()[0] = 'x';
  ASSERT_TRUE(ConnectProgrammer());
  EXPECT_TRUE(std::all_of(gLink.ProgrammerInfo.begin(), gLink.ProgrammerInfo.end(),
                          [](std::uint8_t b) { return b == 0; }));
}

TEST_F(Connecting, TheIdleStateSwitchesEveryPinOffAndLeavesVppAtTwelveVolts) {
  // VPP to 12 V before each 12 V pin selection, except on the 6400.
  const std::vector<std::vector<int>> vppTo12 = {{14, 18, 0}, {14, 18, 120}};
  for (const int model : {6200, 6400}) {
    SCOPED_TRACE(model);
    Unopened(model);
    ASSERT_TRUE(ConnectProgrammer());
    const auto info = std::find_if(prog->record.transcript.begin(), prog->record.transcript.end(),
                                   [](const sim::Command& c) { return c.op() == kCmdReadInfo; });
    ASSERT_NE(info, prog->record.transcript.end());
    // After the info block (13, 7): the idle state.
    const auto got = CommandsFrom(info - prog->record.transcript.begin() + 2);
    std::vector<std::vector<int>> want = {{10, 27, 255}, {14, 18, 0}, {14, 18, 0}};
    if (model != 6400) want.insert(want.end(), vppTo12.begin(), vppTo12.end());
    for (const auto& c : std::vector<std::vector<int>>{
             {14, 32, 0}, {14, 19, 0}, {10, 29, 0x86}, {14, 22, 0}, {14, 20, 0}, {14, 21, 0}}) {
      want.push_back(c);
    }
    if (model != 6400) want.insert(want.end(), vppTo12.begin(), vppTo12.end());
    want.push_back({14, 32, 0});
    EXPECT_EQ(got, want);
    EXPECT_EQ(prog->VppMillivolts(), model == 6400 ? 0 : 12000);
    EXPECT_EQ(prog->VccMillivolts(), 0);
    EXPECT_EQ(prog->HighVoltagePin() + prog->VccPin() + prog->VppPin(), 0);
    EXPECT_TRUE(prog->record.protocolErrors.empty());
    EXPECT_TRUE(prog->record.hazards.empty());
  }
}

TEST_F(Connecting, WithNoProgrammerTheConnectEndsWithItsBox) {
  Unplug();
  SetAttachWaitMs(50);
  EXPECT_FALSE(ConnectProgrammer());
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"Can not open the device! "});
  EXPECT_EQ(gLink.ModelNumber, 0);
  EXPECT_EQ(driver->OpenRegistrations(), 0);
  EXPECT_EQ(prog->record.transfers, 0u);
}

TEST_F(Connecting, TheDriverCheck) {
  struct Case {
    std::uint32_t version;
    bool denied;
    bool connects;
    std::vector<std::string> boxes;
    std::uint32_t driverVersion;
  };
  const std::string rule = std::string("udev/rules.d/70-zelvar.rules");
  const Case cases[] = {
      {603, false, true, {}, 603},
      {600, false, false, {"Warning,USB driver changed! ", "Can not open the device! "}, 600},
      {0, false, false, {"Can not open the device! "}, 1},
      {1, true, false, {"udev", "Can not open the device! "}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    Unopened(6200);
    driver->version = c.version;
    driver->accessDenied = c.denied;
    EXPECT_EQ(ConnectProgrammer(), c.connects);
    EXPECT_EQ(gLink.DriverVersion, c.driverVersion);
    ASSERT_EQ(fake.boxes.size(), c.boxes.size());
    for (std::size_t i = 0; i < c.boxes.size(); ++i) {
      if (c.boxes[i] == "udev") {
        // The box gives the one command that installs the rule.
        EXPECT_NE(fake.boxes[i].find(kUdevRuleCommand), std::string::npos);
        EXPECT_NE(fake.boxes[i].find(rule), std::string::npos);
      } else {
        EXPECT_EQ(fake.boxes[i], c.boxes[i]);
      }
    }
  }
}

TEST(Backend, TheOptionChoosesTheProgrammer) {
  test::FakeServices fake;
  SetServices(&fake);
  struct Case {
    std::vector<std::string> args;
    bool valid;
    bool simulated;
    int model;  // after the connect, for a simulated programmer
  };
  const Case cases[] = {
      {{"zelvar"}, true, false, 0},
      {{"zelvar", "--programmer=usb"}, true, false, 0},
      {{"zelvar", "--programmer=sim"}, true, true, 6200},
      {{"zelvar", "--programmer=sim:5149"}, true, true, 5149},
      {{"zelvar", "--programmer=sim:57"}, true, true, 57},
      {{"zelvar", "--programmer=sim:51x"}, false, false, 0},
      {{"zelvar", "--programmer=serial"}, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    gLink.Reset();
    std::string error;
    auto backend = ChooseBackend(c.args, &error);
    ASSERT_EQ(backend != nullptr, c.valid);
    if (!backend) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(backend->simulated(), c.simulated);
    fake.boxes.clear();
    if (!c.simulated) {
      // No programmer on this machine's USB (or no USB at all): the connect gives up with its box.
      SetAttachWaitMs(50);
      EXPECT_FALSE(ConnectProgrammer());
      SetAttachWaitMs(0);
      ASSERT_FALSE(fake.boxes.empty());
      EXPECT_EQ(fake.boxes.back(), "Can not open the device! ");
      continue;
    }
    EXPECT_TRUE(ConnectProgrammer());
    EXPECT_EQ(gLink.ModelNumber, c.model);
    EXPECT_TRUE(fake.boxes.empty());
  }
  EXPECT_EQ(usb::Driver(), nullptr);
  SetServices(nullptr);
  gLink.Reset();
}

}  // namespace connect_test
}  // namespace zelvar
