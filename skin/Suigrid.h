#pragma once
// The skinned grids: the draw grid and the string grid. Always flat, coloured by the style,
// with the fixed-cell layer (the first FixedCols columns and FixedRows rows in FixedColor and
// FixedFontColor), selected and focused cells in colours of their own, a border, and two
// attachable skinned scroll bars kept in step both ways.
#include <QTableWidget>

#include "skin/Suimgr.h"

namespace zelvar {

class TsuiAttachedBars;
class TsuiScrollBar;

// How a cell is painted: its fill and text colours.
struct GridCellLook {
  QColor fill;
  QColor text;  // none for a cell whose text the grid does not write
};
struct GridColours {
  QColor color, fixedColor, fixedFontColor, fontColor, selectedColor, focusedColor;
};
// A fixed cell: FixedColor with FixedFontColor. Any other: SelectedColor when selected,
// FocusedColor when it is the current cell (focused wins), else Color, in the font colour.
GridCellLook CellLook(const GridColours& colours, bool fixed, bool selected, bool focused);

class TsuiCustomDrawGrid : public QTableWidget, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiCustomDrawGrid(QWidget* parent = nullptr);
  ~TsuiCustomDrawGrid() override;

  void SetColCount(int count) { setColumnCount(count); }
  int ColCount() const { return columnCount(); }
  void SetRowCount(int count) { setRowCount(count); }
  int RowCount() const { return rowCount(); }
  void SetFixedCols(int count);
  int FixedCols() const { return fixedCols_; }
  void SetFixedRows(int count);
  int FixedRows() const { return fixedRows_; }
  void SetDefaultColWidth(int width);
  void SetDefaultRowHeight(int height);

  void SetBorderColor(const QColor& colour);
  QColor BorderColor() const { return borderColour_; }
  void SetFocusedColor(const QColor& colour);
  QColor FocusedColor() const { return colours_.focusedColor; }
  void SetSelectedColor(const QColor& colour);
  QColor SelectedColor() const { return colours_.selectedColor; }
  void SetFixedFontColor(const QColor& colour);
  QColor FixedFontColor() const { return colours_.fixedFontColor; }
  void SetFontColor(const QColor& colour);
  QColor FontColor() const { return colours_.fontColor; }
  void SetBGColor(const QColor& colour);
  QColor BGColor() const { return colours_.color; }
  void SetFixedBGColor(const QColor& colour);
  QColor FixedBGColor() const { return colours_.fixedColor; }
  const GridColours& Colours() const { return colours_; }

  void SetVScrollBar(TsuiScrollBar* bar);
  TsuiScrollBar* VScrollBar() const;
  void SetHScrollBar(TsuiScrollBar* bar);
  TsuiScrollBar* HScrollBar() const;
  TsuiAttachedBars& Bars() const { return *bars_; }

 protected:
  void UIStyleChanged() override;
  bool event(QEvent* event) override;
  // The fixed-cell layer: fixed rows stay at the top and fixed columns at the left while the
  // other cells scroll under them; hits, cell places and scrolling to a cell know it.
  void paintEvent(QPaintEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 public:
  QModelIndex indexAt(const QPoint& pos) const override;
  QRect visualRect(const QModelIndex& index) const override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

 protected:
  // The string grid draws a one-line border, the draw grid a line with the colour inside.
  virtual bool DrawInnerBorder() const { return true; }
  // Whether the grid writes a fixed cell's text itself (the string grid).
  virtual bool WritesFixedText() const { return false; }
  friend class GridCellPainter;

 private:
  GridColours colours_;
  QColor borderColour_;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  // The fixed rows and columns there are, and how high and wide their band is.
  int FixedRowsShown() const;
  int FixedColsShown() const;
  int FixedBand(Qt::Orientation orientation) const;
  TsuiAttachedBars* bars_;
};

class TsuiDrawGrid : public TsuiCustomDrawGrid {
  Q_OBJECT

 public:
  using TsuiCustomDrawGrid::TsuiCustomDrawGrid;
};

class TsuiStringGrid : public TsuiCustomDrawGrid {
  Q_OBJECT

 public:
  explicit TsuiStringGrid(QWidget* parent = nullptr);
  void SetCells(int col, int row, const QString& text);
  QString Cells(int col, int row) const;

 protected:
  bool DrawInnerBorder() const override { return false; }
  bool WritesFixedText() const override { return true; }
};

}  // namespace zelvar
