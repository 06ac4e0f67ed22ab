#include "skin/Suigrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

#include "skin/Suiattach.h"
#include "skin/Suipublic.h"
#include "skin/Suiscrollbar.h"

namespace zelvar {

GridCellLook CellLook(const GridColours& colours, bool fixed, bool selected, bool focused) {
  if (fixed) return {colours.fixedColor, colours.fixedFontColor};
  QColor fill = colours.color;
  if (selected) fill = colours.selectedColor;
  if (focused) fill = colours.focusedColor;
  return {fill, colours.fontColor};
}

// Paints each cell by CellLook; the text stands 2 pixels in from the cell's corner.
class GridCellPainter : public QStyledItemDelegate {
 public:
  explicit GridCellPainter(TsuiCustomDrawGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool fixed = index.column() < grid_->FixedCols() || index.row() < grid_->FixedRows();
    const bool focused = index == grid_->currentIndex();
    const bool selected = option.state & QStyle::State_Selected;
    const GridCellLook look = CellLook(grid_->Colours(), fixed, selected, focused);
    if (look.fill.isValid()) painter->fillRect(option.rect, look.fill);
    if (fixed && !grid_->WritesFixedText()) return;
    if (look.text.isValid()) painter->setPen(look.text);
    painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                      index.data().toString());
  }

 private:
  TsuiCustomDrawGrid* grid_;
};

TsuiCustomDrawGrid::TsuiCustomDrawGrid(QWidget* parent)
    : QTableWidget(5, 5, parent), bars_(new TsuiAttachedBars(this, false)) {
  colours_.focusedColor = QColor(0, 128, 0);
  colours_.selectedColor = QColor(255, 255, 0);
  setFrameShape(QFrame::NoFrame);
  setViewportMargins(1, 1, 1, 1);
  // Whole cells scroll, so the cells under the fixed band are exactly those scrolled past.
  setVerticalScrollMode(ScrollPerItem);
  setHorizontalScrollMode(ScrollPerItem);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  SetDefaultColWidth(64);
  SetDefaultRowHeight(24);
  setItemDelegate(new GridCellPainter(this));
  SetUIStyle(OwnerStyle(parent));
}

// The bars let go while the grid is whole.
TsuiCustomDrawGrid::~TsuiCustomDrawGrid() {
  delete bars_;
}

void TsuiCustomDrawGrid::SetFixedCols(int count) {
  fixedCols_ = count;
  viewport()->update();
}

void TsuiCustomDrawGrid::SetFixedRows(int count) {
  fixedRows_ = count;
  viewport()->update();
}

void TsuiCustomDrawGrid::SetDefaultColWidth(int width) {
  horizontalHeader()->setDefaultSectionSize(width);
}

void TsuiCustomDrawGrid::SetDefaultRowHeight(int height) {
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(height);
}

void TsuiCustomDrawGrid::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  update();
}

void TsuiCustomDrawGrid::SetFocusedColor(const QColor& colour) {
  colours_.focusedColor = colour;
  viewport()->update();
}

void TsuiCustomDrawGrid::SetSelectedColor(const QColor& colour) {
  colours_.selectedColor = colour;
  viewport()->update();
}

void TsuiCustomDrawGrid::SetFixedFontColor(const QColor& colour) {
  colours_.fixedFontColor = colour;
  viewport()->update();
}

void TsuiCustomDrawGrid::SetFontColor(const QColor& colour) {
  colours_.fontColor = colour;
  viewport()->update();
}

void TsuiCustomDrawGrid::SetBGColor(const QColor& colour) {
  colours_.color = colour;
  viewport()->update();
}

void TsuiCustomDrawGrid::SetFixedBGColor(const QColor& colour) {
  colours_.fixedColor = colour;
  viewport()->update();
}

void TsuiCustomDrawGrid::UIStyleChanged() {
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    borderColour_ = theme->GetQColor(SKIN2_CONTROLBORDERCOLOR);
    colours_.fixedColor = theme->GetQColor(SKIN2_SELECTEDMENUCOLOR);
    colours_.color = theme->GetQColor(SKIN2_CONTROLCOLOR);
    colours_.fixedFontColor = theme->GetQColor(SKIN2_MENUITEMFONTCOLOR);
    colours_.fontColor = theme->GetQColor(SKIN2_CONTROLFONTCOLOR);
  } else {
    const TsuiUIStyle style = Style();
    borderColour_ = GetInsideThemeQColor(style, INSIDE_CONTROLBORDERCOLOR);
    colours_.fixedColor = GetInsideThemeQColor(style, INSIDE_MENU_SELECTEDCOLOR);
    colours_.color = GetInsideThemeQColor(style, INSIDE_CONTROLCOLOR);
    colours_.fixedFontColor = GetInsideThemeQColor(style, INSIDE_MENU_SELECTEDFONTCOLOR);
    colours_.fontColor = GetInsideThemeQColor(style, INSIDE_MENU_FONTCOLOR);
    // White text would not show on the cells.
    if (colours_.fontColor == QColor(Qt::white)) colours_.fontColor = Qt::black;
  }
  const TsuiUIStyle resolved = ThemeInUse() != nullptr ? FromThemeFile : Style();
  for (TsuiScrollBar* bar : {VScrollBar(), HScrollBar()})
    if (bar != nullptr) bar->SetUIStyle(resolved);
  viewport()->update();
  update();
}

void TsuiCustomDrawGrid::SetVScrollBar(TsuiScrollBar* bar) {
  bars_->SetBar(Qt::Vertical, bar);
}
TsuiScrollBar* TsuiCustomDrawGrid::VScrollBar() const {
  return bars_->Bar(Qt::Vertical);
}
void TsuiCustomDrawGrid::SetHScrollBar(TsuiScrollBar* bar) {
  bars_->SetBar(Qt::Horizontal, bar);
}
TsuiScrollBar* TsuiCustomDrawGrid::HScrollBar() const {
  return bars_->Bar(Qt::Horizontal);
}

bool TsuiCustomDrawGrid::event(QEvent* event) {
  const bool result = QTableWidget::event(event);
  if (event->type() == QEvent::Paint && borderColour_.isValid()) {
    QPainter painter(this);
    DrawControlBorder(painter, rect(), borderColour_, colours_.color, DrawInnerBorder());
  }
  return result;
}

int TsuiCustomDrawGrid::FixedRowsShown() const {
  return std::clamp(fixedRows_, 0, rowCount());
}

int TsuiCustomDrawGrid::FixedColsShown() const {
  return std::clamp(fixedCols_, 0, columnCount());
}

int TsuiCustomDrawGrid::FixedBand(Qt::Orientation orientation) const {
  const QHeaderView* header = orientation == Qt::Vertical ? verticalHeader() : horizontalHeader();
  const int n = orientation == Qt::Vertical ? FixedRowsShown() : FixedColsShown();
  return n > 0 ? header->sectionPosition(n - 1) + header->sectionSize(n - 1) : 0;
}

void TsuiCustomDrawGrid::paintEvent(QPaintEvent* event) {
  QTableWidget::paintEvent(event);
  const int fr = FixedRowsShown();
  const int fc = FixedColsShown();
  const QHeaderView* rows = verticalHeader();
  const QHeaderView* cols = horizontalHeader();
  const bool rowsMoved = fr > 0 && rows->offset() != 0;
  const bool colsMoved = fc > 0 && cols->offset() != 0;
  if (!rowsMoved && !colsMoved) return;
  QPainter painter(viewport());
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QColor grid = QColor::fromRgba(
      static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
  const QSize area = viewport()->size();
  const auto paintCell = [&](int row, int col, int x, int y) {
    const QRect cell(x, y, cols->sectionSize(col), rows->sectionSize(row));
    if (cell.isEmpty() || !cell.intersects(QRect(QPoint(0, 0), area))) return;
    const QModelIndex index = model()->index(row, col);
    QStyleOptionViewItem o = option;
    o.rect = showGrid() ? cell.adjusted(0, 0, -1, -1) : cell;
    if (selectionModel() != nullptr && selectionModel()->isSelected(index))
      o.state |= QStyle::State_Selected;
    if (showGrid()) painter.fillRect(cell, grid);
    itemDelegateForIndex(index)->paint(&painter, o, index);
  };
  // Fixed columns beside the scrolled rows, fixed rows above the scrolled columns, then the
  // corner over both.
  for (int r = fr; r < rowCount(); ++r) {
    const int y = rows->sectionViewportPosition(r);
    if (y >= area.height()) break;
    for (int c = 0; c < fc; ++c) paintCell(r, c, cols->sectionPosition(c), y);
  }
  for (int c = fc; c < columnCount(); ++c) {
    const int x = cols->sectionViewportPosition(c);
    if (x >= area.width()) break;
    for (int r = 0; r < fr; ++r) paintCell(r, c, x, rows->sectionPosition(r));
  }
  for (int r = 0; r < fr; ++r) {
    for (int c = 0; c < fc; ++c)
      paintCell(r, c, cols->sectionPosition(c), rows->sectionPosition(r));
  }
}

void TsuiCustomDrawGrid::scrollContentsBy(int dx, int dy) {
  QTableWidget::scrollContentsBy(dx, dy);
  // Moving the painted pixels would move the fixed cells too.
  if (FixedRowsShown() > 0 || FixedColsShown() > 0) viewport()->update();
}

QModelIndex TsuiCustomDrawGrid::indexAt(const QPoint& pos) const {
  const QHeaderView* rows = verticalHeader();
  const QHeaderView* cols = horizontalHeader();
  int row = rowAt(pos.y());
  int col = columnAt(pos.x());
  if (pos.y() >= 0 && pos.y() < FixedBand(Qt::Vertical)) {
    row = -1;
    for (int r = 0; r < FixedRowsShown(); ++r)
      if (pos.y() >= rows->sectionPosition(r)) row = r;
  }
  if (pos.x() >= 0 && pos.x() < FixedBand(Qt::Horizontal)) {
    col = -1;
    for (int c = 0; c < FixedColsShown(); ++c)
      if (pos.x() >= cols->sectionPosition(c)) col = c;
  }
  return row >= 0 && col >= 0 ? model()->index(row, col) : QModelIndex();
}

QRect TsuiCustomDrawGrid::visualRect(const QModelIndex& index) const {
  QRect r = QTableWidget::visualRect(index);
  if (!index.isValid() || r.isNull()) return r;
  if (index.row() < FixedRowsShown()) r.moveTop(verticalHeader()->sectionPosition(index.row()));
  if (index.column() < FixedColsShown())
    r.moveLeft(horizontalHeader()->sectionPosition(index.column()));
  return r;
}

void TsuiCustomDrawGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (!index.isValid()) return;
  const int fr = FixedRowsShown();
  const int fc = FixedColsShown();
  QScrollBar* v = verticalScrollBar();
  QScrollBar* h = horizontalScrollBar();
  // A fixed cell is always in view: its axis does not scroll for it.
  const int top = v->value();
  const int left = h->value();
  QTableWidget::scrollTo(index, hint);
  if (index.row() < fr) {
    v->setValue(top);
  } else if (index.row() < v->value() + fr) {
    v->setValue(std::max(0, index.row() - fr));
  }
  if (index.column() < fc) {
    h->setValue(left);
  } else if (index.column() < h->value() + fc) {
    h->setValue(std::max(0, index.column() - fc));
  }
}

TsuiStringGrid::TsuiStringGrid(QWidget* parent) : TsuiCustomDrawGrid(parent) {
  SetFocusedColor(QColor(0, 255, 0));
}

void TsuiStringGrid::SetCells(int col, int row, const QString& text) {
  if (QTableWidgetItem* cell = item(row, col)) {
    cell->setText(text);
    return;
  }
  setItem(row, col, new QTableWidgetItem(text));
}

QString TsuiStringGrid::Cells(int col, int row) const {
  const QTableWidgetItem* cell = item(row, col);
  return cell != nullptr ? cell->text() : QString();
}

}  // namespace zelvar
