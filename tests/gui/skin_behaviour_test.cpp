#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <stdexcept>
#include <vector>

#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suipagecontrol.h"
#include "skin/Suiprogressbar.h"
#include "skin/Suipublic.h"
#include "skin/Suiradiogroup.h"
#include "skin/Suitabcontrol.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_behaviour_test {

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent e(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button,
                held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

void Key(QWidget* w, QEvent::Type type, int key) {
  QKeyEvent e(type, key, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    button.resize(80, 27);
    QObject::connect(&button, &QPushButton::clicked, [this] { ++clicks; });
    button.OnMouseContinuouslyDown = [this] { ++repeats; };
  }
  TsuiButton button;
  int clicks = 0;
  int repeats = 0;
};

TEST_F(ButtonTest, ClicksOnlyWhenReleasedInside) {
  Mouse(&button, QEvent::MouseButtonPress, {10, 10});
  EXPECT_TRUE(button.IsDown());
  ASSERT_NE(button.RepeatTimer(), nullptr);
  EXPECT_EQ(button.RepeatTimer()->interval(), 100);
  Mouse(&button, QEvent::MouseMove, {200, 10});
  EXPECT_FALSE(button.IsDown()) << "outside, the pressed look goes";
  Mouse(&button, QEvent::MouseButtonRelease, {200, 10});
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(button.RepeatTimer(), nullptr);
  // The right edge itself still counts as inside while moving.
  Mouse(&button, QEvent::MouseButtonPress, {10, 10});
  Mouse(&button, QEvent::MouseMove, {80, 27});
  EXPECT_TRUE(button.IsDown());
  Mouse(&button, QEvent::MouseButtonRelease, {40, 10});
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button.IsDown());
  EXPECT_EQ(button.RepeatTimer(), nullptr);
  // Other mouse buttons press nothing.
  Mouse(&button, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton);
  EXPECT_FALSE(button.IsDown());
}

TEST_F(ButtonTest, RepeatsWhileHeldUntilLeave) {
  button.SetMouseContinuouslyDownInterval(-5);  // acts as 0, so each event round ticks
  Mouse(&button, QEvent::MouseButtonPress, {10, 10});
  ASSERT_NE(button.RepeatTimer(), nullptr);
  EXPECT_EQ(button.RepeatTimer()->interval(), 0);
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  EXPECT_GE(repeats, 1);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&button, &leave);
  EXPECT_EQ(button.RepeatTimer(), nullptr);
  EXPECT_FALSE(button.IsDown());
  const int before = repeats;
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  EXPECT_EQ(repeats, before);
  EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonTest, SpaceClicksOnKeyUpAndDisabledDoesNothing) {
  button.show();
  button.activateWindow();
  QApplication::processEvents();
  button.setFocus();
  ASSERT_TRUE(button.hasFocus());
  Key(&button, QEvent::KeyPress, Qt::Key_Space);
  EXPECT_TRUE(button.IsDown());
  EXPECT_EQ(clicks, 0);
  Key(&button, QEvent::KeyRelease, Qt::Key_Space);
  EXPECT_EQ(clicks, 1);
  button.setEnabled(false);
  button.Click();
  EXPECT_EQ(clicks, 1);
}

TEST(ButtonKeys, EnterClicksTheDefaultAndEscapeTheCancelButton) {
  QDialog dialog;
  auto* edit = new QLineEdit(&dialog);
  auto* ok = new TsuiButton(&dialog);
  auto* cancel = new TsuiButton(&dialog);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  cancel->SetModalResult(QDialog::Rejected);
  int oks = 0, cancels = 0;
  QObject::connect(ok, &QPushButton::clicked, [&] { ++oks; });
  QObject::connect(cancel, &QPushButton::clicked, [&] { ++cancels; });
  dialog.show();
  Key(edit, QEvent::KeyPress, Qt::Key_Return);
  EXPECT_EQ(oks, 1);
  Key(edit, QEvent::KeyPress, Qt::Key_Escape);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(CheckBoxLoading, StatesSetWhileTheFormLoadsFireNothing) {
  QWidget form;
  auto* box = new TsuiCheckBox(&form);
  auto* group = new TsuiRadioGroup(&form);
  group->SetItems({"a", "b"});
  int clicks = 0;
  box->OnClick = [&] { ++clicks; };
  group->OnClick = [&] { ++clicks; };
  {
    TsuiFormLoading loading(&form);
    box->SetChecked(true);
    group->SetItemIndex(1);
  }
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(group->GetItemIndex(), 1);
  group->SetItemIndex(0);
  EXPECT_EQ(clicks, 1);
}

TEST(RadioGroupKeys, ArrowsMoveTheFocusAndTheChoice) {
  QWidget form;
  auto* group = new TsuiRadioGroup(&form);
  group->resize(185, 105);
  group->SetItems({"a", "b", "c"});
  group->SetItemEnabled(1, false);
  group->SetItemIndex(0);
  form.show();
  Key(group->Button(0), QEvent::KeyPress, Qt::Key_Down);
  EXPECT_EQ(group->GetItemIndex(), 2) << "a disabled item is passed over";
  Key(group->Button(2), QEvent::KeyPress, Qt::Key_Up);
  EXPECT_EQ(group->GetItemIndex(), 0);
  // Space does not toggle a radio item; it does toggle a check item.
  Key(group->Button(0), QEvent::KeyRelease, Qt::Key_Space);
  EXPECT_EQ(group->GetItemIndex(), 0);
  TsuiCheckGroup checks(&form);
  checks.SetItems({"x"});
  Key(checks.Button(0), QEvent::KeyRelease, Qt::Key_Space);
  EXPECT_TRUE(checks.GetChecked(0));
}

// The filled part ends at GetWidthFromPosition(width - 1), at least 1; the rest is the style's
// control colour inside the border.
TEST(ProgressBar, FillBoundaryInAGrab) {
  struct Case {
    int max, position, fillEnd;
  };
  const Case cases[] = {{100, 0, 1}, {100, 1, 1}, {100, 50, 74}, {100, 100, 149}, {4, 3, 111}};
  for (const Case& c : cases) {
    TsuiProgressBar bar;
    bar.SetUIStyle(WinXP);
    bar.SetShowCaption(false);
    bar.resize(150, 12);
    bar.SetMax(c.max);
    bar.SetPosition(c.position);
    const QImage image = bar.grab().toImage();
    const QColor rest = GetInsideThemeQColor(WinXP, INSIDE_CONTROLCOLOR);
    EXPECT_EQ(image.pixelColor(0, 6), GetInsideThemeQColor(WinXP, INSIDE_CONTROLBORDERCOLOR));
    if (c.fillEnd < 149) {
      EXPECT_EQ(image.pixelColor(c.fillEnd, 6), rest) << c.position;
    }
    if (c.fillEnd > 1) {
      EXPECT_NE(image.pixelColor(c.fillEnd - 1, 6), rest) << c.position;
    }
  }
}

TEST(Panel, FoldsAndOpensIn15PixelSteps) {
  TsuiPanel panel;
  panel.SetUIStyle(DeepBlue);
  panel.resize(100, 100);
  panel.show();
  ASSERT_EQ(panel.TitleHeight(), 20);
  std::vector<int> heights;
  struct Recorder : QObject {
    std::vector<int>* out;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Resize)
        out->push_back(static_cast<QResizeEvent*>(e)->size().height());
      return false;
    }
  } recorder;
  recorder.out = &heights;
  panel.installEventFilter(&recorder);
  int pushes = 0;
  panel.OnPush = [&] { ++pushes; };
  panel.Push();
  EXPECT_EQ(heights, (std::vector<int>{85, 70, 55, 40, 25, 20}));
  EXPECT_EQ(pushes, 1);
  heights.clear();
  panel.Pop();
  EXPECT_EQ(heights, (std::vector<int>{35, 50, 65, 80, 95, 100}));
  panel.SetAlign(alLeft);
  EXPECT_THROW(panel.Push(), std::logic_error);
  EXPECT_FALSE(panel.Pushed());
}

TEST(ComboBox, DisabledArrowIsGreyOverAWhiteShadow) {
  TsuiComboBox combo;
  combo.SetUIStyle(DeepBlue);
  combo.resize(100, 22);
  combo.AddItem("5V");
  combo.setEnabled(false);
  const QImage image = combo.grab().toImage();
  const QRect r = combo.ButtonRect();
  const int x = r.width() / 2 + r.left() - 3;
  const int y = r.top() + r.height() / 2 - 1;
  EXPECT_EQ(image.pixelColor(x + 3, y + 1), QColor(0x80, 0x80, 0x80));
  EXPECT_EQ(image.pixelColor(x + 4, y + 4), QColor(Qt::white));
  combo.setEnabled(true);
  combo.SetArrowColor(Qt::red);
  combo.SetUIStyle(DeepBlue);
  EXPECT_EQ(combo.ArrowColor(), QColor(Qt::black)) << "a new style makes the arrow black";
}

// Tab row geometry: 400-pixel row, 16-pixel scroll buttons, margin 10.
TEST(TabRow, WidthsOverflowAndHiddenTabs) {
  TabRowInput in;
  in.rowWidth = 400;
  in.buttonWidth = 16;
  in.widths = {TabWidth(40, false), TabWidth(0, true), TabWidth(-30, false)};
  in.visible = {true, true, true};
  EXPECT_EQ(in.widths, (std::vector<int>{60, 80, 15}));
  std::array<int, kMaxTabs> none;
  none.fill(-1);
  TabRowLayout fits = LayoutTabRow(in, none);
  EXPECT_FALSE(fits.overflow);
  ASSERT_EQ(fits.drawn.size(), 3u);
  EXPECT_EQ(fits.drawn[1].left, 70);
  EXPECT_TRUE(fits.drawn[0].active);
  // Too many tabs: the one that passes the limit is cut at the buttons, and the row overflows.
  in.widths = {150, 150, 150, 150};
  in.visible = {true, true, true, true};
  TabRowLayout over = LayoutTabRow(in, none);
  EXPECT_TRUE(over.overflow);
  ASSERT_EQ(over.drawn.size(), 3u);
  EXPECT_TRUE(over.drawn[2].cut);
  EXPECT_EQ(over.drawn[2].left + over.drawn[2].width, 400 - 2 * 16 - 2);
  EXPECT_EQ(over.lastWhole, 1);
  EXPECT_EQ(over.recorded[2], 400 - 2 * 16 - 2 - 310) << "an inactive cut tab records its cut";
  // Scrolled by one, tab 1 is first; a hidden tab takes no room and a click skips it.
  in.firstVisible = 1;
  in.visible = {true, false, true, true};
  TabRowLayout scrolled = LayoutTabRow(in, none);
  EXPECT_EQ(scrolled.drawn.front().tab, 2);
  EXPECT_EQ(scrolled.recorded[1], 0);
  EXPECT_EQ(HitTabRow(scrolled.recorded, in.visible, 1, 10, 24, {20, 5}), 2);
  EXPECT_EQ(HitTabRow(scrolled.recorded, in.visible, 1, 10, 24, {20, 30}), -1);
  EXPECT_EQ(HitTabRow(fits.recorded, {true, true, true}, 0, 10, 24, {75, 5}), 1);
}

// All 64 tabs record their widths, so the last one takes clicks too.
TEST(TabRow, TheSixtyFourthTabCanBeClicked) {
  TabRowInput in;
  in.rowWidth = 5000;
  in.buttonWidth = 16;
  in.leftMargin = 0;
  in.widths.assign(kMaxTabs, 20);
  in.visible.assign(kMaxTabs, true);
  std::array<int, kMaxTabs> none;
  none.fill(-1);
  const TabRowLayout row = LayoutTabRow(in, none);
  EXPECT_EQ(row.recorded[kMaxTabs - 1], 20);
  EXPECT_EQ(HitTabRow(row.recorded, in.visible, 0, 0, 24, {63 * 20 + 5, 5}), 63);
}

TEST(PageControl, ActivationFollowsRemovalHidingAndClicks) {
  TsuiPageControl pages;
  pages.resize(400, 200);
  std::vector<TsuiTabSheet*> sheet;
  for (const char* caption : {"Buffer", "Config", "Chip"}) {
    sheet.push_back(new TsuiTabSheet(&pages));
    sheet.back()->SetCaption(caption);
  }
  EXPECT_EQ(pages.ActivePage(), sheet[2]);
  int changes = 0;
  pages.OnChange = [&] { ++changes; };
  pages.SetActivePage(sheet[0]);
  EXPECT_EQ(pages.ActivePageIndex(), 0);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(sheet[0]->isVisibleTo(&pages));
  EXPECT_FALSE(sheet[2]->isVisibleTo(&pages));
  // A click on the second tab activates its page.
  pages.show();
  TsuiTabControlTopPanel* row = pages.Row();
  const int x = 10 + row->Widths()[0] + row->Widths()[1] / 2;
  Mouse(row, QEvent::MouseButtonPress, {x, row->RowHeight() / 2});
  EXPECT_EQ(pages.ActivePage(), sheet[1]);
  // Hiding the active page's tab hands over to the nearest visible page before it.
  sheet[1]->SetTabVisible(false);
  EXPECT_EQ(pages.ActivePage(), sheet[0]);
  // Tab on the row after the last tab goes back to the first.
  pages.SetActivePage(sheet[2]);
  Key(row, QEvent::KeyPress, Qt::Key_Tab);
  EXPECT_EQ(pages.ActivePage(), sheet[0]);
  // Removing another page activates the page before it; removing page 0 leaves none.
  delete sheet[2];
  EXPECT_EQ(pages.PageCount(), 2);
  pages.SetActivePage(sheet[1]);
  delete sheet[1];
  EXPECT_EQ(pages.ActivePage(), sheet[0]);
  delete sheet[0];
  EXPECT_EQ(pages.ActivePage(), nullptr);
  EXPECT_EQ(pages.PageCount(), 0);
}

TEST(PageControl, MovePageKeepsAnOutOfRangeIndex) {
  TsuiPageControl pages;
  auto* a = new TsuiTabSheet(&pages);
  auto* b = new TsuiTabSheet(&pages);
  a->SetCaption("a");
  b->SetCaption("b");
  int to = 5;
  pages.MovePage(b, to);
  EXPECT_EQ(to, 1);
  b->SetPageIndex(0);
  EXPECT_EQ(b->PageIndex(), 0);
  EXPECT_EQ(pages.tabText(0), "b");
  EXPECT_EQ(pages.tabText(1), "a");
  EXPECT_EQ(pages.ActivePage(), b);
}

}  // namespace skin_behaviour_test
}  // namespace zelvar
