// The main window's handling of long jobs and long contents: a close during a chip operation is
// refused once with a message and never acted on later, input held back meanwhile is dropped; the
// hex view scrolls over the whole chip with a bar, the wheel and "go to address"; a long fuse grid
// scrolls in its tab.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QWheelEvent>

#include "app/forms/widgets/ConfigGrid.h"
#include "app/forms/widgets/HexView.h"
#include "app/forms/windows/Forms.h"
#include "services/AppState.h"
#include "skin/Suibutton.h"
#include "support/MainWindowFixture.h"
#include "support/QtApp.h"

namespace zelvar {
namespace windows_test {

class WindowsTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    StartWithChip("AT27C256");
    MainForm->show();
  }
  std::string ViewLine(int line) {
    return MainForm->RichEdit1->dump()->document()->findBlockByNumber(line).text().toStdString();
  }
};

TEST_F(WindowsTest, ACloseDuringAnOperationIsRefusedOnceAndHeldInputIsDropped) {
  int clicks = 0;
  QObject::connect(MainForm->ButtonGo, &QPushButton::clicked, [&clicks] { ++clicks; });
  MainForm->OperationsRunning = 1;
  EXPECT_FALSE(MainForm->close());
  // A click the desktop held back while the operation ran arrives after it.
  const QPoint at = MainForm->ButtonGo->rect().center();
  QApplication::postEvent(
      MainForm->ButtonGo,
      new QMouseEvent(QEvent::MouseButtonPress, at, MainForm->ButtonGo->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  QApplication::postEvent(
      MainForm->ButtonGo,
      new QMouseEvent(QEvent::MouseButtonRelease, at, MainForm->ButtonGo->mapToGlobal(at),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
  EXPECT_TRUE(fake.boxes.empty()) << "no box while the operation holds the thread";
  MainForm->OperationsRunning = 0;
  MainForm->OperationEnded();
  EXPECT_EQ(clicks, 0) << "a held-back click acted after the operation";
  EXPECT_TRUE(MainForm->isVisible());
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0], "The chip operation was running: the program did not close.");
  // Nothing stays armed: the next operation ends without a box, and a close now closes.
  MainForm->OperationEnded();
  EXPECT_EQ(fake.boxes.size(), 1u);
  EXPECT_TRUE(MainForm->close());
}

TEST_F(WindowsTest, TheHexViewScrollsOverTheWholeChipAndGoesToAnAddress) {
  ChooseChip("EPROM", "AT27C256");
  MainForm->ShowBuffer();
  HexView* view = MainForm->RichEdit1;
  QScrollBar* bar = view->scrollBar();
  // 32 KiB in rows of 16, the last page's first row as the maximum.
  EXPECT_EQ(bar->maximum(), 0x8000 / 16 - 16);
  EXPECT_EQ(bar->value(), 0);
  bar->setValue(0x100);
  EXPECT_EQ(ViewLine(0).substr(0, 8), "  1000: ");
  // The wheel turns the bar: down a notch moves further on.
  QWheelEvent wheel(QPointF(10, 10), view->dump()->mapToGlobal(QPoint(10, 10)), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view->dump()->viewport(), &wheel);
  EXPECT_GT(bar->value(), 0x100);
  EXPECT_EQ(ViewLine(0).substr(0, 8),
            "  " + QString("%1").arg(bar->value() * 16, 4, 16, QChar('0')).toUpper().toStdString() +
                ": ");

  // Go to address: the page holding it, the byte selected, the bar following.
  view->goToEdit()->setText("7ff5");
  view->GoTo(view->goToEdit()->text());
  EXPECT_EQ(ViewLine(0).substr(0, 8), "  7F00: ");
  EXPECT_EQ(view->dump()->textCursor().selectedText().size(), 2);
  EXPECT_EQ(bar->value(), 0x7F0);
  EXPECT_EQ(bar->maximum(), 0x7F0) << "the bar still ends at the chip's last page";
  EXPECT_EQ(view->dump()->firstVisibleLine(), 0) << "the whole page shows at the default size";
  view->GoTo("2000000");
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0], "Out of range!");
  EXPECT_EQ(ViewLine(0).substr(0, 8), "  7F00: ");
}

TEST_F(WindowsTest, ALongFuseGridScrollsInItsTab) {
  ChooseChip("MPU", "ATmega8");
  ASSERT_GT(MainForm->configGrid->StringGrid1->rowCount(), 15);
  MainForm->resize(680, 560);
  MainForm->Configwindow1Click();
  QApplication::processEvents();
  QScrollArea* scroll = MainForm->configScroll;
  ASSERT_NE(scroll, nullptr);
  // Every row fits the grid; the tab's bar reaches the ones the window cannot show.
  const QTableWidget* grid = MainForm->configGrid->StringGrid1;
  int rows = 0;
  for (int r = 0; r < grid->rowCount(); ++r) rows += grid->rowHeight(r);
  EXPECT_GE(grid->viewport()->height(), rows);
  EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
  EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
}

}  // namespace windows_test
}  // namespace zelvar
