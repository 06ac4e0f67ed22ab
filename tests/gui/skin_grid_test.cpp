#include <gtest/gtest.h>

#include <QScrollBar>

#include "skin/Suiattach.h"
#include "skin/Suigrid.h"
#include "skin/Suimemo.h"
#include "skin/Suiscrollbar.h"
#include "skin/Suitrackbar.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_grid_test {

TEST(Grid, CellColours) {
  GridColours c;
  c.color = Qt::white;
  c.fixedColor = Qt::blue;
  c.fixedFontColor = Qt::yellow;
  c.fontColor = Qt::black;
  c.selectedColor = Qt::cyan;
  c.focusedColor = Qt::green;
  struct Case {
    bool fixed, selected, focused;
    QColor fill, text;
  };
  const Case cases[] = {{true, true, true, Qt::blue, Qt::yellow},
                        {false, false, false, Qt::white, Qt::black},
                        {false, true, false, Qt::cyan, Qt::black},
                        {false, true, true, Qt::green, Qt::black},
                        {false, false, true, Qt::green, Qt::black}};
  for (const Case& k : cases) {
    const GridCellLook look = CellLook(c, k.fixed, k.selected, k.focused);
    EXPECT_EQ(look.fill, k.fill) << k.fixed << k.selected << k.focused;
    EXPECT_EQ(look.text, k.text);
  }
  TsuiDrawGrid draw;
  TsuiStringGrid strings;
  EXPECT_EQ(draw.FocusedColor(), QColor(0, 128, 0));
  EXPECT_EQ(strings.FocusedColor(), QColor(0, 255, 0));
  EXPECT_EQ(strings.SelectedColor(), QColor(255, 255, 0));
  strings.SetUIStyle(WinXP);
  EXPECT_EQ(strings.FixedBGColor(), GetInsideThemeQColor(WinXP, INSIDE_MENU_SELECTEDCOLOR));
  EXPECT_EQ(strings.FixedFontColor(), GetInsideThemeQColor(WinXP, INSIDE_MENU_SELECTEDFONTCOLOR));
  EXPECT_EQ(strings.BGColor(), GetInsideThemeQColor(WinXP, INSIDE_CONTROLCOLOR));
}

TEST(Grid, FixedCellsShowTheirTextInTheFixedColours) {
  QWidget form;
  form.show();
  auto* grid = new TsuiStringGrid(&form);
  grid->setGeometry(0, 0, 200, 120);
  grid->show();
  grid->SetCells(0, 0, "Fuse");
  grid->SetCells(1, 1, "On");
  grid->setCurrentCell(2, 2);
  QImage shot(grid->size(), QImage::Format_RGB32);
  grid->render(&shot);
  const QPoint origin = grid->viewport()->pos();
  const QRect fixed = grid->visualItemRect(grid->item(0, 0)).translated(origin);
  EXPECT_EQ(shot.pixelColor(fixed.right() - 2, fixed.bottom() - 2), grid->FixedBGColor());
  const QRect cell = grid->visualRect(grid->model()->index(1, 1)).translated(origin);
  EXPECT_EQ(shot.pixelColor(cell.right() - 2, cell.bottom() - 2), grid->BGColor());
  const QRect focused = grid->visualRect(grid->model()->index(2, 2)).translated(origin);
  EXPECT_EQ(shot.pixelColor(focused.right() - 2, focused.bottom() - 2), grid->FocusedColor());
}

// The fixed rows and columns stay in place while the other cells scroll under them: painted,
// hit and placed there, and a cell scrolled to comes out below and beside them.
TEST(Grid, FixedCellsStayWhileTheRestScrolls) {
  QWidget form;
  form.resize(400, 400);
  form.show();
  auto* grid = new TsuiStringGrid(&form);
  grid->setGeometry(0, 0, 260, 170);
  grid->SetRowCount(40);
  grid->SetColCount(12);
  grid->SetFixedRows(2);
  grid->show();
  grid->SetCells(5, 0, "Bit5");
  grid->SetCells(0, 20, "Row20");
  ASSERT_GT(grid->verticalScrollBar()->maximum(), 10);
  grid->verticalScrollBar()->setValue(6);
  grid->horizontalScrollBar()->setValue(3);
  const int band = 2 * 24;  // two fixed rows
  const QPoint origin = grid->viewport()->pos();
  // Fixed row 1 over column 5 (scrolled left by three columns) and the corner cell.
  const QPoint inTop(grid->columnViewportPosition(5) + 30, 24 + 12);
  EXPECT_EQ(grid->indexAt(inTop), grid->model()->index(1, 5));
  EXPECT_EQ(grid->indexAt(QPoint(10, 10)), grid->model()->index(0, 0));
  EXPECT_EQ(grid->indexAt(QPoint(10, band + 5)), grid->model()->index(8, 0))
      << "below the band: the first row not scrolled away";
  EXPECT_EQ(grid->indexAt(QPoint(inTop.x(), band + 5)), grid->model()->index(8, 5));
  EXPECT_EQ(grid->visualRect(grid->model()->index(0, 5)).top(), 0);
  EXPECT_EQ(grid->visualRect(grid->model()->index(20, 0)).left(), 0);
  EXPECT_EQ(grid->visualRect(grid->model()->index(8, 5)).top(), band);

  QImage shot(grid->size(), QImage::Format_RGB32);
  grid->render(&shot);
  const auto colourAt = [&](QPoint p) { return shot.pixelColor(p + origin); };
  EXPECT_EQ(colourAt(inTop + QPoint(20, 8)), grid->FixedBGColor());
  EXPECT_EQ(colourAt(QPoint(50, 30)), grid->FixedBGColor()) << "the corner";
  EXPECT_EQ(colourAt(QPoint(50, band + 12)), grid->FixedBGColor()) << "the fixed column";
  EXPECT_EQ(colourAt(QPoint(inTop.x() + 20, band + 20)), grid->BGColor());
  // The fixed row's text is painted where the row stands, in the fixed font colour.
  int text = 0;
  const QRect bit5 = grid->visualRect(grid->model()->index(0, 5)).translated(origin);
  for (int y = bit5.top(); y <= bit5.bottom(); ++y)
    for (int x = bit5.left(); x <= bit5.right(); ++x)
      text += shot.pixelColor(x, y) != grid->FixedBGColor();
  EXPECT_GT(text, 5);

  // Going to a row above the first one shown brings it out just below the band.
  grid->setCurrentCell(7, 5);
  EXPECT_EQ(grid->verticalScrollBar()->value(), 5);
  EXPECT_EQ(grid->indexAt(QPoint(inTop.x(), band + 5)).row(), 7);
  grid->setCurrentCell(9, 2);
  EXPECT_EQ(grid->horizontalScrollBar()->value(), 1);
  // A fixed cell scrolls nothing.
  grid->setCurrentCell(0, 6);
  EXPECT_EQ(grid->verticalScrollBar()->value(), 5);
}

TEST(Grid, BarsFollowTheGridAndScrollIt) {
  QWidget form;
  form.resize(400, 400);
  form.show();
  auto* grid = new TsuiStringGrid(&form);
  grid->setGeometry(10, 10, 200, 150);
  grid->SetRowCount(40);
  grid->SetColCount(12);
  grid->show();
  auto* v = new TsuiScrollBar(&form);
  v->show();
  grid->SetVScrollBar(v);
  EXPECT_EQ(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff)
      << "only the axes with a skinned bar scroll";
  auto* h = new TsuiScrollBar(&form);
  h->show();
  grid->SetHScrollBar(h);
  EXPECT_EQ(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
  QScrollBar* native = grid->verticalScrollBar();
  ASSERT_GT(native->maximum(), 0);
  EXPECT_TRUE(v->isVisible());
  EXPECT_EQ(v->Max(), native->maximum());
  EXPECT_EQ(v->x(), 10 + 200 - v->width() - 1);
  EXPECT_EQ(h->y(), 10 + 150 - h->height() - 1);
  native->setValue(7);
  EXPECT_EQ(v->Position(), 7);
  v->SetPosition(12);
  EXPECT_EQ(native->value(), 12);
  EXPECT_EQ(h->SmallChange(), 3 * h->PageSize());
  grid->setEnabled(false);
  EXPECT_FALSE(v->isVisible()) << "a disabled grid hides its bars";
  grid->setEnabled(true);
  EXPECT_TRUE(v->isVisible());
  delete v;
  EXPECT_EQ(grid->VScrollBar(), nullptr);
  EXPECT_EQ(grid->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST(Memo, BarsStayInPlaceWhileTheTextFits) {
  QWidget form;
  form.resize(400, 400);
  form.show();
  auto* memo = new TsuiMemo(&form);
  memo->setGeometry(10, 10, 200, 120);
  memo->show();
  auto* v = new TsuiScrollBar(&form);
  v->show();
  memo->SetVScrollBar(v);
  EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  memo->setPlainText("one line");
  EXPECT_TRUE(v->isVisible());
  EXPECT_FALSE(v->isEnabled());
  EXPECT_FALSE(v->Track()->SliderVisible());
  EXPECT_EQ(v->geometry(), QRect(10 + 200 - v->width() - 2, 11, v->width(), 118));
  QStringList lines;
  for (int i = 0; i < 80; ++i) lines << QString("line %1").arg(i);
  memo->setPlainText(lines.join('\n'));
  QScrollBar* native = memo->verticalScrollBar();
  ASSERT_GT(native->maximum(), 0);
  EXPECT_TRUE(v->isEnabled());
  EXPECT_TRUE(v->Track()->SliderVisible());
  v->SetPosition(30);
  EXPECT_EQ(native->value(), 30);
  native->setValue(5);
  EXPECT_EQ(v->Position(), 5);
  auto* theme = new TsuiFileTheme(&form);
  theme->SetThemeFile("Amber.ssk");
  memo->SetFileTheme(theme);
  memo->SetUIStyle(FromThemeFile);
  EXPECT_EQ(memo->BorderColor(), theme->GetQColor(SKIN2_CONTROLBORDERCOLOR));
  EXPECT_EQ(v->Color(), theme->GetQColor(SKIN2_SCROLLBARCOLOR));
}

}  // namespace skin_grid_test
}  // namespace zelvar
