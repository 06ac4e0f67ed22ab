#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

#include "app/forms/dialogs/SelZorDlg.h"
#include "app/forms/windows/Dispinfomation.h"
#include "app/forms/windows/GuiServices.h"
#include "app/forms/windows/Waitusb.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "skin/Suiform.h"
#include "skin/Suiprogressbar.h"
#include "skin/Suiradiogroup.h"
#include "support/QtApp.h"

namespace zelvar {
namespace gui_services_test {

class GuiServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp.Reset();
    ChineseTexts = 0;
    main.setGeometry(100, 80, 640, 480);
    gui.SetMainWindow(&main);
    gui.SetLog(&log);
    SetServices(&gui);
  }
  void TearDown() override {
    SetServices(nullptr);
    gApp.Reset();
    ChineseTexts = 0;
  }
  QColor LineColour(int line) const {
    const QTextBlock block = log.document()->findBlockByNumber(line);
    return block.begin().fragment().charFormat().foreground().color();
  }

  QWidget main;
  QTextEdit log;
  GuiServices gui;
};

TEST_F(GuiServicesTest, LinesAreDroppedUntilTheProgressWindowIsCreated) {
  AddMessageLine("Connect*连接");
  EXPECT_FALSE(gui.ProgressWindowExists());
  EXPECT_TRUE(log.document()->isEmpty());
  // Progress calls before the window exists do nothing either.
  ShowOperationName(23);
  EXPECT_EQ(gui.ProgressCaption(), "");

  gui.CreateProgressWindow();
  AddMessageLine("Connect*连接");
  AddColouredLine(kRed, "<b>Fault</b>");
  AddColouredLine(kGreen, "Warnning:  Project modified!*提示:  项目有修改!");
  EXPECT_EQ(log.toPlainText().toStdString(), "Connect\n<b>Fault</b>\nWarnning:  Project modified!");
  EXPECT_EQ(LineColour(0), QColor(0, 0, 0));
  EXPECT_EQ(LineColour(1), QColor(255, 0, 0));
  EXPECT_EQ(LineColour(2), QColor(0, 128, 0));
}

TEST_F(GuiServicesTest, ProgressWindowCarriesTheOperation) {
  gui.CreateProgressWindow();
  TDispRun1* window = gui.DispRun1();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->size(), QSize(TDispRun1::kWidth, TDispRun1::kHeight));
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);

  gApp.CodeLastAddress = 5;
  ShowOperationName(23);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->suiForm1->GetCaption(), "Write...");
  EXPECT_EQ(window->windowTitle().toStdString(), "Write...");
  EXPECT_EQ(window->suiProgressBar1->Max(), 5);
  const WindowPos centre = CentredOn(main.frameGeometry().left(), main.frameGeometry().top(),
                                     main.frameGeometry().width(), main.frameGeometry().height(),
                                     window->width(), window->height());
  EXPECT_EQ(window->pos(), QPoint(centre.left, centre.top));

  ShowProgress(3);
  EXPECT_EQ(window->suiProgressBar1->Position(), 3);
  ShowProgress(-1);
  EXPECT_EQ(window->suiProgressBar1->Position(), 5);
  EXPECT_FALSE(window->isVisible());

  ShowOperationResult(1, 0x1234, 0x5A);
  EXPECT_EQ(log.toPlainText().toStdString(), "Write...Error at:01234:(5A)");
  EXPECT_EQ(LineColour(0), QColor(255, 0, 0));
}

TEST_F(GuiServicesTest, AClickOnTheFrameClosesTheProgressWindow) {
  gui.CreateProgressWindow();
  ShowOperationName(21);
  TsuiForm* frame = gui.DispRun1()->suiForm1;
  ASSERT_TRUE(gui.DispRun1()->isVisible());
  const QPointF at(10, 10);
  QMouseEvent press(QEvent::MouseButtonPress, at, frame->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, frame->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(frame, &press);
  QApplication::sendEvent(frame, &release);
  EXPECT_FALSE(gui.DispRun1()->isVisible());
}

TEST_F(GuiServicesTest, OtherWindowsAndChipParametersGoThroughHooks) {
  EXPECT_EQ(gui.AskBadPins({3, 4}, 40), BadPinAnswer::Cancel);
  EXPECT_EQ(gui.ChipParam("Vpp"), 0);
  EXPECT_FALSE(gui.ChipNameContains("AT89"));
  std::vector<std::string> calls;
  gui.showBusy = [&](const std::string& c) { calls.push_back("busy:" + c); };
  gui.hideBusy = [&] { calls.push_back("hide"); };
  gui.askBadPins = [](const std::vector<int>& pins, int socket) {
    return pins.size() == 2 && socket == 40 ? BadPinAnswer::Ignore : BadPinAnswer::Again;
  };
  gui.chipParam = [](const std::string& key) { return key == "Vpp" ? 12500 : 0; };
  gui.chipNameContains = [](const std::string& text) { return text == "AT89"; };
  services().ShowBusy("Loading");
  services().HideBusy();
  EXPECT_EQ(calls, (std::vector<std::string>{"busy:Loading", "hide"}));
  EXPECT_EQ(services().AskBadPins({3, 4}, 40), BadPinAnswer::Ignore);
  EXPECT_EQ(services().ChipParam("Vpp"), 12500);
  EXPECT_TRUE(services().ChipNameContains("AT89"));
}

// A chip operation holds the thread: its progress keeps the windows painting and timers running,
// without taking user input.
TEST_F(GuiServicesTest, ProgressKeepsTheWindowAnswering) {
  gui.CreateProgressWindow();
  bool timerRan = false;
  QTimer::singleShot(0, [&] { timerRan = true; });
  gui.SetProgressPosition(100);
  EXPECT_TRUE(timerRan);
}

// A box during start-up is not hidden behind the always-on-top wait form.
TEST_F(GuiServicesTest, ABoxClosesTheWaitFormFirst) {
  TWaitForm wait;
  WaitForm = &wait;
  wait.show();
  bool waitShownUnderBox = true;
  QTimer::singleShot(0, [&] {
    waitShownUnderBox = wait.isVisible();
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
  });
  gui.MessageBox("Can not open the device! ");
  WaitForm = nullptr;
  EXPECT_FALSE(waitShownUnderBox);
}

// The model window is sized to its items: none overlaps another or leaves the group.
TEST(SelZorDlgLayout, ItemsFitWithoutOverlap) {
  TSelZorDlg dialog;
  dialog.show();
  TsuiRadioGroup* group = dialog.RadioGroup1;
  ASSERT_EQ(group->ItemCount(), 4);
  for (int i = 0; i < group->ItemCount(); ++i) {
    const QRect a = group->Button(i)->geometry();
    EXPECT_TRUE(group->rect().contains(a)) << i;
    EXPECT_TRUE(dialog.rect().contains(group->mapTo(&dialog, a.bottomRight()))) << i;
    for (int j = i + 1; j < group->ItemCount(); ++j) {
      EXPECT_FALSE(a.intersects(group->Button(j)->geometry())) << i << " and " << j;
    }
  }
}

TEST(GuiServicesLifetime, MainWindowMayGoFirst) {
  GuiServices gui;
  {
    QWidget main;
    gui.SetMainWindow(&main);
    gui.CreateProgressWindow();
  }
  EXPECT_FALSE(gui.ProgressWindowExists());  // went with its parent; nothing left to free twice
}

}  // namespace gui_services_test
}  // namespace zelvar
