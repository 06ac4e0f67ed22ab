#include "skin/Suigrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

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
