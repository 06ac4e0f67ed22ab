#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "skin/Suibutton.h"
#include "skin/Suimgr.h"
#include "skin/Suiscrollbar.h"
#include "skin/Suitrackbar.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_scroll_test {

TEST(TrackArithmetic, SliderOffsetsAndPositions) {
  struct Offset {
    int length, slider, min, max, position, offset;
  };
  const Offset offsets[] = {
      {150, 10, 0, 10, 0, 0},      {150, 10, 0, 10, 10, 140}, {150, 10, 0, 10, 5, 70},
      {150, 10, 0, 3, 1, 46},      {150, 10, -5, 5, 0, 70},   {150, 10, 4, 4, 4, 0},
      {100, 20, 0, 1000, 999, 79},
  };
  for (const Offset& o : offsets)
    EXPECT_EQ(SliderTravelOffset(o.length, o.slider, o.min, o.max, o.position), o.offset)
        << o.length << " " << o.position;
  struct Position {
    int offset, length, slider, min, max, position;
  };
  const Position positions[] = {
      {0, 150, 10, 0, 10, 0},  {140, 150, 10, 0, 10, 10},
      {69, 150, 10, 0, 10, 5}, {63, 150, 10, 0, 10, 5},  // 4.5 rounds up
      {62, 150, 10, 0, 10, 4}, {-30, 150, 10, 0, 10, -2},
      {70, 150, 10, -5, 5, 0}, {50, 10, 10, 0, 10, 0},  // a slider as long as the control
  };
  for (const Position& p : positions)
    EXPECT_EQ(PositionFromSliderOffset(p.offset, p.length, p.slider, p.min, p.max), p.position)
        << p.offset;
}

TEST(TrackArithmetic, TicksPagingAndThumbLengths) {
  EXPECT_EQ(TickValues(0, 10, 5), (std::vector<int>{0, 5, 10}));
  EXPECT_EQ(TickValues(0, 10, 3), (std::vector<int>{0, 3, 6, 9, 10}));
  EXPECT_EQ(TickValues(0, 4, 1), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(TickValues(0, 10, 0), (std::vector<int>{0, 10}));
  EXPECT_TRUE(TickValues(3, 3, 1).empty());
  EXPECT_EQ(PageToward(5, 2, 0, true), 3);
  EXPECT_EQ(PageToward(5, 2, 4, true), 4) << "never beyond the click";
  EXPECT_EQ(PageToward(5, 6, 9, false), 9);
  EXPECT_EQ(PageToward(5, 2, 9, false), 7);
  struct Thumb {
    int track, pageSize, lineButton, length;
  };
  const Thumb thumbs[] = {{200, 2, 5, 16},   {200, 2, 0, 20},    {200, 150, 0, 20},
                          {200, 50, 0, 100}, {200, 100, 0, 200}, {200, 10, 40, 40},
                          {0, 50, 0, 0}};
  for (const Thumb& t : thumbs)
    EXPECT_EQ(ScrollThumbLength(t.track, t.pageSize, t.lineButton), t.length)
        << t.pageSize << " " << t.lineButton;
}

TEST(TrackBar, SettersClampAndReportEachChangeOnce) {
  TsuiTrackBar bar;
  bar.SetUIStyle(WinXP);
  int changes = 0;
  bar.OnChange = [&](TsuiTrackBar*) { ++changes; };
  bar.SetPosition(20);
  EXPECT_EQ(bar.Position(), 10);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(bar.LastChange(), 10);
  bar.SetPosition(10);
  EXPECT_EQ(changes, 1) << "the same position again reports nothing";
  bar.SetMax(4);
  EXPECT_EQ(bar.Position(), 4);
  EXPECT_EQ(bar.LastChange(), -6);
  bar.SetMin(8);
  EXPECT_EQ(bar.Min(), 4) << "not above Max";
  bar.SetPageSize(9);
  EXPECT_EQ(bar.PageSize(), 2) << "beyond Max: ignored";
  bar.SetLineSize(-1);
  EXPECT_EQ(bar.LineSize(), 1);
  bar.SetMin(0);
  // Keys, after the position 4 of 0..4.
  const std::pair<int, int> keys[] = {{Qt::Key_Home, 0}, {Qt::Key_Right, 1}, {Qt::Key_PageDown, 3},
                                      {Qt::Key_Down, 4}, {Qt::Key_Up, 3},    {Qt::Key_PageUp, 1},
                                      {Qt::Key_Left, 0}, {Qt::Key_End, 4}};
  for (const auto& [key, position] : keys) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&bar, &press);
    EXPECT_EQ(bar.Position(), position) << key;
  }
  // Max = Min: the slider stands at the start, no ticks.
  bar.SetMax(0);
  EXPECT_EQ(bar.GetSliderPosFromPosition().x(), 0);
  EXPECT_TRUE(bar.Ticks().empty());
}

TEST(TrackBar, DragAndHeldClicks) {
  QWidget form;
  form.show();
  TsuiTrackBar* bar = new TsuiTrackBar(&form);
  bar->SetUIStyle(DeepBlue);
  bar->resize(210, bar->height());
  bar->SetMax(20);
  ASSERT_FALSE(bar->SliderImage().isNull());
  const int slider = bar->SliderRect().width();
  int changes = 0;
  bar->OnChange = [&](TsuiTrackBar*) { ++changes; };
  // Drag the slider from its middle to the end of the travel.
  const QPoint grab = bar->SliderRect().center();
  QTest::mousePress(bar, Qt::LeftButton, {}, grab);
  QTest::mouseMove(bar, grab + QPoint((210 - slider) / 2, 0));
  EXPECT_EQ(bar->Position(), 10);
  EXPECT_EQ(changes, 1);
  QTest::mouseMove(bar, grab + QPoint(210, 0));
  EXPECT_EQ(bar->Position(), 20) << "clamped";
  QTest::mouseRelease(bar, Qt::LeftButton, {}, grab + QPoint(210, 0));
  EXPECT_EQ(changes, 2);
  // Held beside the slider, a horizontal bar jumps by PageSize, then by three times that per
  // tick, stopping at the mouse.
  bar->SetPosition(0);
  const QPoint click(bar->width() - 2, bar->height() / 2);
  QTest::mousePress(bar, Qt::LeftButton, {}, click);
  EXPECT_EQ(bar->Position(), 2);
  EXPECT_TRUE(bar->Repeating());
  bar->RepeatStep();
  EXPECT_EQ(bar->Position(), 8);
  for (int i = 0; i < 10; ++i) bar->RepeatStep();
  EXPECT_LE(bar->Position(), 20);
  EXPECT_GE(bar->Position(), 19);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, click);
  EXPECT_FALSE(bar->Repeating());
  // A vertical bar steps by PageSize alone.
  bar->SetOrientation(suiVertical);
  bar->resize(bar->width(), 210);
  bar->SetPosition(0);
  const QPoint below(bar->width() / 2, 208);
  QTest::mousePress(bar, Qt::LeftButton, {}, below);
  bar->RepeatStep();
  EXPECT_EQ(bar->Position(), 4);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, below);
}

TEST(ScrollBar, LayoutThumbAndSteps) {
  QWidget form;
  form.show();  // resizes reach hidden widgets only when they show
  auto* bar = new TsuiScrollBar(&form);
  bar->show();
  bar->SetUIStyle(WinXP);
  bar->resize(200, 40);
  EXPECT_EQ(bar->height(), 16) << "as high as its buttons";
  EXPECT_EQ(bar->DecreaseButton()->geometry(), QRect(0, 0, 16, 16));
  EXPECT_EQ(bar->Track()->geometry(), QRect(16, 0, 168, 16));
  EXPECT_EQ(bar->IncreaseButton()->pos(), QPoint(184, 0));
  EXPECT_EQ(bar->Track()->SliderImage().width(), 16) << "PageSize 2 counts as 10 %";
  bar->SetPageSize(50);
  EXPECT_EQ(bar->Track()->SliderImage().width(), 84);
  bar->SetLargeChange(25);
  EXPECT_EQ(bar->PageSize(), 25);
  EXPECT_EQ(bar->Track()->SliderImage().width(), 84) << "LargeChange keeps the thumb";
  bar->SetLineButton(5);
  EXPECT_EQ(bar->Track()->SliderImage().width(), 16);
  bar->SetLineButton(500);
  EXPECT_EQ(bar->LineButton(), 16) << "longer than the free track: ignored";

  int changes = 0;
  bar->SetOnChange([&](TsuiScrollBar* sender) {
    EXPECT_EQ(sender, bar);
    ++changes;
  });
  bar->SetSmallChange(3);
  bar->IncreaseButton()->OnMouseContinuouslyDown();
  bar->IncreaseButton()->OnMouseContinuouslyDown();
  EXPECT_EQ(bar->Position(), 6);
  bar->DecreaseButton()->OnMouseContinuouslyDown();
  EXPECT_EQ(bar->Position(), 3);
  EXPECT_EQ(changes, 3);
  bar->SetPosition(3);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(bar->LastChange(), -3);

  bar->SetOrientation(suiVertical);
  bar->resize(40, 150);
  EXPECT_EQ(bar->width(), 16);
  EXPECT_EQ(bar->Track()->geometry(), QRect(0, 16, 16, 118));
  EXPECT_EQ(bar->Track()->SliderImage().size(), QSize(16, 16));
  bar->resize(0, 150);
  EXPECT_FALSE(bar->isVisibleTo(&form)) << "no width: it hides itself";
}

TEST(ScrollBar, TakesTheSkinsPicturesAndColour) {
  QWidget form;
  form.show();
  auto* theme = new TsuiFileTheme(&form);
  theme->SetThemeFile("Amber.ssk");
  ASSERT_TRUE(theme->CanUse());
  auto* bar = new TsuiScrollBar(&form);
  bar->show();
  bar->SetFileTheme(theme);
  bar->SetUIStyle(FromThemeFile);
  bar->resize(200, 16);
  EXPECT_EQ(bar->Color(), theme->GetQColor(SKIN2_SCROLLBARCOLOR));
  EXPECT_EQ(bar->Track()->SliderImage().height(), 16);
  auto* track = new TsuiTrackBar(&form);
  track->SetFileTheme(theme);
  track->SetUIStyle(FromThemeFile);
  EXPECT_EQ(track->SliderImage().size(), theme->GetBitmap(SKIN2_TRACKBARSLIDER)->size());
  delete theme;
  EXPECT_EQ(bar->Color(), GetInsideThemeQColor(DeepBlue, INSIDE_SCROLLBAR_COLOR));
}

}  // namespace skin_scroll_test
}  // namespace zelvar
