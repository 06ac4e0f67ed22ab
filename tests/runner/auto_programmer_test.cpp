// The auto-programming dialog's 300 ms ticks, driven directly.
#include <gtest/gtest.h>

#include "app/core/runner/AutoProgrammer.h"
#include "link/LinkFault.h"
#include "link/LinkState.h"
#include "services/Messages.h"
#include "support/FakeServices.h"

namespace zelvar::test {
namespace auto_programmer_test {

class AutoProgrammerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gLink.Reset();
    SetServices(&fake);
    auto& p = autoPro.ports();
    p.CheckPinContact = [this](std::uint32_t g, std::uint32_t a, std::uint32_t b, std::uint32_t lo,
                               std::uint32_t hi) {
      trace.push_back("check");
      args = {g, a, b, static_cast<std::int64_t>(lo), static_cast<std::int64_t>(hi)};
      if (onCheck) onCheck();
      gLink.NoChipFlag = noChip;
      gLink.BadPinCount = badPins;
      return placed;
    };
    p.SendWaitCommand = [this] { trace.push_back("cmd28"); };
    p.ShowProgress = [this](int v) { trace.push_back("progress:" + std::to_string(v)); };
    p.Close = [this] { ++closes; };
    autoPro.Start(20, 0, 0, 0x80000001u, 0x8000u);
  }
  void TearDown() override {
    SetServices(nullptr);
    gLink.Reset();
    ChineseTexts = 0;
  }

  // A socket with the chip just programmed still in it, then empty, then with the next chip.
  void SocketOld() { noChip = 0, badPins = 0, placed = 0; }
  void SocketEmpty() { noChip = 1, badPins = 0, placed = 0; }
  void SocketNew() { noChip = 0, badPins = 0, placed = 1; }

  FakeServices fake;
  AutoProgrammer autoPro;
  std::vector<std::string> trace;
  std::vector<std::int64_t> args;
  std::function<void()> onCheck;
  int noChip = 0, badPins = 0, placed = 0;
  int closes = 0;
};

TEST_F(AutoProgrammerTest, StartArmsTheDialog) {
  ChineseTexts = 1;
  autoPro.Start(20, 0, 0, 1, 2);
  EXPECT_EQ(autoPro.ButtonCaption, "终止");
  EXPECT_EQ(autoPro.EditText, "");
  EXPECT_TRUE(autoPro.TimerOn);
  EXPECT_EQ(autoPro.WaitState, AutoProgrammer::kWaitRemoval);
  EXPECT_EQ(autoPro.RunResult, 0);
  EXPECT_EQ(autoPro.AutoTickCount, 0);
}

TEST_F(AutoProgrammerTest, AChipInTheSocketMustBeRemovedBeforeTheNextIsAccepted) {
  // Even a chip with every pin touching is first taken as the programmed one.
  noChip = 0, placed = 1;
  for (int i = 0; i < 3; ++i) autoPro.Tick();
  EXPECT_EQ(autoPro.WaitState, AutoProgrammer::kWaitRemoval);
  EXPECT_EQ(autoPro.EditText, "OK,Remove the chip... ");
  EXPECT_EQ(autoPro.AutoTickCount, 3);
  EXPECT_EQ(fake.sleptMs, 0);
  EXPECT_EQ(trace,
            (std::vector<std::string>{"cmd28", "check", "cmd28", "check", "cmd28", "check"}));
  EXPECT_EQ(args, (std::vector<std::int64_t>{20, 0, 0, 0x80000001, 0x8000}));

  SocketEmpty();
  autoPro.Tick();
  EXPECT_EQ(autoPro.WaitState, AutoProgrammer::kWaitPlacement);
  EXPECT_EQ(autoPro.AutoTickCount, 0);
  EXPECT_EQ(fake.sleptMs, 1000);
  EXPECT_TRUE(autoPro.TimerOn);

  autoPro.Tick();  // still empty
  EXPECT_EQ(autoPro.EditText, "Place the next... ");
  EXPECT_FALSE(autoPro.LabelVisible);

  SocketNew();
  autoPro.Tick();
  EXPECT_EQ(autoPro.WaitState, AutoProgrammer::kPlaced);
  EXPECT_EQ(autoPro.RunResult, 1);
  EXPECT_FALSE(autoPro.TimerOn);
  EXPECT_FALSE(autoPro.Open);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(fake.log.empty());
}

TEST_F(AutoProgrammerTest, TheBadPinLabelShowsOnlyForAFewBrokenPins) {
  struct Case {
    int noChip, badPins;
    int chinese;
    bool visible;
    const char* text;
  };
  const Case cases[] = {{0, 2, 0, true, "Find 2 broken pins! "},
                        {0, 3, 1, true, "有3个引脚接触不良！"},
                        {0, 0, 0, true, "Find 0 broken pins! "},
                        {0, 4, 0, false, ""},
                        {1, 1, 0, false, ""}};
  SocketEmpty();
  autoPro.Tick();
  ASSERT_EQ(autoPro.WaitState, AutoProgrammer::kWaitPlacement);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.badPins);
    ChineseTexts = c.chinese;
    noChip = c.noChip, badPins = c.badPins, placed = 0;
    autoPro.Tick();
    EXPECT_EQ(autoPro.LabelVisible, c.visible);
    if (c.visible) {
      EXPECT_EQ(autoPro.LabelText, c.text);
    }
    EXPECT_TRUE(autoPro.TimerOn);
  }
}

TEST_F(AutoProgrammerTest, The241stTickWithoutProgressTimesOut) {
  SocketOld();
  for (int i = 0; i < kAutoTickLimit; ++i) autoPro.Tick();
  EXPECT_TRUE(autoPro.TimerOn);
  EXPECT_TRUE(fake.log.empty());
  autoPro.Tick();
  EXPECT_FALSE(autoPro.TimerOn);
  EXPECT_EQ(autoPro.RunResult, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(fake.LogTexts(), (std::vector<std::string>{"Exit running."}));

  // The removal restarts the count: the wait for the next chip gets its own 240 ticks.
  autoPro.Start(20, 0, 0, 0, 0);
  for (int i = 0; i < 200; ++i) autoPro.Tick();
  SocketEmpty();
  autoPro.Tick();
  for (int i = 0; i < kAutoTickLimit; ++i) autoPro.Tick();
  EXPECT_TRUE(autoPro.TimerOn);
  autoPro.Tick();
  EXPECT_FALSE(autoPro.TimerOn);
}

TEST_F(AutoProgrammerTest, StopEndsTheWaitWithItsLine) {
  ChineseTexts = 1;
  autoPro.Tick();
  autoPro.Stop();
  EXPECT_FALSE(autoPro.TimerOn);
  EXPECT_EQ(autoPro.RunResult, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(fake.LogTexts(), (std::vector<std::string>{"退出连续运行。"}));
  EXPECT_EQ(trace.back(), "progress:-1");
  // A tick already queued when the dialog closed does nothing.
  autoPro.Tick();
  EXPECT_EQ(autoPro.AutoTickCount, 1);
}

TEST_F(AutoProgrammerTest, ATickNeverOverlapsAnother) {
  // The contact check may show a box whose event loop fires the timer again.
  int nested = 0;
  onCheck = [&] {
    if (nested++ < 3) autoPro.Tick();
  };
  autoPro.Tick();
  EXPECT_EQ(autoPro.AutoTickCount, 1);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "check"), 1);
}

TEST_F(AutoProgrammerTest, ALinkFaultEndsTheWait) {
  onCheck = [] { RaiseLinkFault("Read USB bad! *读USB出错"); };
  autoPro.Tick();
  EXPECT_FALSE(autoPro.TimerOn);
  EXPECT_EQ(autoPro.RunResult, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(gLink.ModelNumber, 0);
}

}  // namespace auto_programmer_test
}  // namespace zelvar::test
