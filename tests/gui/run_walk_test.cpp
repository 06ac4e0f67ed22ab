// Run on the simulated programmer, walked as a user does: an AT27C256 chosen, a serial number set
// in the settings, Run pressed; while Run's dialog waits, the simulated socket's window (clicked
// through the window system, where a modal dialog blocks what is not its own) takes each chip out
// and puts a blank one in, and at last puts a programmed chip back. Only the chips that passed
// count, each holds its own serial number, and the programmed chip's failed pass ends the Run.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>
#include <vector>

#include "app/core/runner/AutoProgrammer.h"
#include "app/forms/dialogs/Autopro.h"
#include "app/forms/dialogs/Setting.h"
#include "app/forms/widgets/ConfigGrid.h"
#include "app/forms/windows/Forms.h"
#include "app/forms/windows/SimSocketWindow.h"
#include "services/AppState.h"
#include "sim/Programmer.h"
#include "sim/chips/Eprom.h"
#include "skin/Suibutton.h"
#include "support/MainWindowFixture.h"
#include "support/QtApp.h"

namespace zelvar {
namespace run_walk_test {

// A click as the window system delivers it: a window blocked by a modal dialog never sees it.
void SystemClick(QWidget* button) {
  QWidget* top = button->window();
  QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                    button->mapTo(top, button->rect().center()));
}

class RunWalkTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    StartWithChip("AT27C256");
  }
  sim::Programmer& Prog() { return *programmer.backend->programmer(); }
};

TEST_F(RunWalkTest, TheSocketWindowFeedsRunAndOnlyProgrammedChipsCount) {
  ChooseChip("EPROM", "AT27C256");
  // A window of the chip keeps the passes short.
  MainForm->configGrid->StringGridWord->item(1, 1)->setText("FF");
  ASSERT_EQ(gApp.OptionValues[65], 0xFF);
  for (int i = 0; i < 0x100; ++i) gApp.CodeBuffer[i] = static_cast<std::uint8_t>(i ^ 0x5A);
  // Serial 05, one byte at 0x10; OK stamps it for the first chip.
  StampSettings& s = Setting1->model();
  s.Edit1 = "10";
  s.Edit2 = "05";
  s.Edit5 = "1";
  s.CheckBox1 = true;
  Setting1->ShowSettings();
  Setting1->suitempButton1Click();
  ASSERT_EQ(gApp.CodeBuffer[0x10], 0x05);

  auto* socket = new TSimSocket(Prog(), MainForm);
  socket->show();
  AutoPro1->KeepUsable(socket);
  const int insertAt = socket->Parts->findText("AT27C256");
  ASSERT_GE(insertAt, 0);
  socket->Parts->setCurrentIndex(insertAt);

  // The user at the socket: out with each chip, in with a blank, twice; then the second chip
  // goes back in. Stop after 30 s, so that a blocked window fails rather than hangs the test.
  std::vector<std::shared_ptr<sim::ChipModel>> inserted;
  QElapsedTimer clock;
  clock.start();
  QTimer user;
  user.setInterval(20);
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (!AutoPro1->isVisible()) return;
    if (clock.elapsed() > 30000) {
      SystemClick(AutoPro1->Button1);
      return;
    }
    const AutoProgrammer& m = AutoPro1->Model();
    if (m.WaitState == AutoProgrammer::kWaitRemoval && Prog().chip()) {
      SystemClick(socket->TakeOut);
    } else if (m.WaitState == AutoProgrammer::kWaitPlacement && !Prog().chip()) {
      SystemClick(inserted.size() < 2 ? socket->Insert : socket->PutBack);
      if (inserted.size() < 2 && Prog().chip()) inserted.push_back(Prog().chipShared());
    }
  });
  user.start();
  fake.log.clear();
  MainForm->suiButtonRun->setEnabled(true);
  MainForm->suiButtonRun->click();
  user.stop();

  ASSERT_EQ(inserted.size(), 2u) << ::testing::PrintToString(fake.LogTexts());
  EXPECT_LT(clock.elapsed(), 30000) << "the socket window took no click";
  // Two chips programmed, each with its own serial number; the programmed chip put back failed
  // its Blank, took no number and did not count.
  for (std::size_t n = 0; n < 2; ++n) {
    auto chip = std::dynamic_pointer_cast<sim::EpromChip>(inserted[n]);
    ASSERT_NE(chip, nullptr);
    EXPECT_EQ(chip->cells[0x10], 0x05 + n) << n;
    EXPECT_EQ(chip->cells[0x20], 0x20 ^ 0x5A) << n;
    EXPECT_EQ(chip->cells[0x100], 0xFF) << n;
  }
  EXPECT_EQ(gApp.CompletedCount, 2);
  EXPECT_EQ(AutoPro1->Model().Caption, "Complete:    2");
  EXPECT_EQ(MainForm->StatusText(), "ATMEL: AT27C256  Counter:2");
  EXPECT_EQ(gApp.CodeBuffer[0x10], 0x07);
  EXPECT_EQ(s.Edit2, "7");
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(fake.log.back().colour, kRed) << fake.log.back().text;
  EXPECT_EQ(Prog().VccPin(), 0);
  EXPECT_EQ(Prog().VppPin(), 0);
}

}  // namespace run_walk_test
}  // namespace zelvar
