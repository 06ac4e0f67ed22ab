#include "skin/Suilistbox.h"

#include <QDir>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "skin/Suibutton.h"
#include "skin/Suipublic.h"
#include "skin/Suiscrollbar.h"

namespace zelvar {

int ListThumbLength(int trackLength, int minimum, int maximum, int pageStep) {
  const long long whole = static_cast<long long>(maximum) - minimum + pageStep;
  if (whole <= 0 || trackLength <= 0) return 0;
  return static_cast<int>(static_cast<long long>(trackLength) * pageStep / whole);
}

namespace {

// The list box's own item drawing: selection and disabled colours, alignment, focus rectangle.
class ItemPainter : public QStyledItemDelegate {
 public:
  explicit ItemPainter(TsuiListBox* box) : QStyledItemDelegate(box), box_(box) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    QColor back = selected ? box_->SelectedColor() : box_->palette().color(QPalette::Base);
    QColor text = selected ? box_->SelectedTextColor() : box_->palette().color(QPalette::Text);
    // Disabled wins over selected.
    if (!box_->isEnabled() || !(index.flags() & Qt::ItemIsEnabled))
      text = box_->DisabledTextColor();
    painter->fillRect(option.rect, back);
    QRect r = option.rect;
    if (box_->layoutDirection() == Qt::RightToLeft)
      r.adjust(0, 0, -2, 0);
    else
      r.adjust(2, 0, 0, 0);
    painter->setPen(text);
    painter->drawText(r,
                      static_cast<int>(box_->Alignment() | Qt::AlignVCenter) | Qt::TextSingleLine,
                      index.data().toString());
    if (box_->ShowFocusRect() && (option.state & QStyle::State_HasFocus)) {
      painter->setPen(QPen(text, 1, Qt::DotLine));
      painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
  }

 private:
  TsuiListBox* box_;
};

}  // namespace

TsuiListBox::TsuiListBox(QWidget* parent) : QListWidget(parent) {
  setFrameShape(QFrame::NoFrame);
  setViewportMargins(2, 2, 2, 2);
  selectedColour_ = palette().color(QPalette::Highlight);
  selectedTextColour_ = palette().color(QPalette::HighlightedText);
  disabledTextColour_ = palette().color(QPalette::Disabled, QPalette::Text);
  setItemDelegate(new ItemPainter(this));
  // Every change of the list's own bar (wheel, keys, drags, items added or taken) reaches the
  // skinned bar.
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { UpdateScrollBars(); });
  connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { UpdateScrollBars(); });
  SetUIStyle(OwnerStyle(parent));
}

TsuiListBox::~TsuiListBox() {
  SetVScrollBar(nullptr);
}

void TsuiListBox::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  update();
}

void TsuiListBox::SetAlignment(Qt::Alignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  viewport()->update();
}

void TsuiListBox::SetSelectedColor(const QColor& colour) {
  if (colour == selectedColour_) return;
  selectedColour_ = colour;
  viewport()->update();
}

void TsuiListBox::SetSelectedTextColor(const QColor& colour) {
  if (colour == selectedTextColour_) return;
  selectedTextColour_ = colour;
  viewport()->update();
}

void TsuiListBox::SetDisabledTextColor(const QColor& colour) {
  if (colour == disabledTextColour_) return;
  disabledTextColour_ = colour;
  viewport()->update();
}

void TsuiListBox::SetShowFocusRect(bool show) {
  if (show == showFocusRect_) return;
  showFocusRect_ = show;
  if (hasFocus()) viewport()->update();
}

void TsuiListBox::UIStyleChanged() {
  borderColour_ = ThemeColor(INSIDE_CONTROLBORDERCOLOR, SKIN2_CONTROLBORDERCOLOR);
  if (vScrollBar_ != nullptr) {
    vScrollBar_->SetFileTheme(FileTheme());
    vScrollBar_->SetUIStyle(ThemeInUse() != nullptr ? FromThemeFile : Style());
  }
  update();
}

void TsuiListBox::SetVScrollBar(TsuiScrollBar* bar) {
  if (bar == vScrollBar_) return;
  if (vScrollBar_ != nullptr) {
    // Back to neutral values.
    vScrollBar_->SetOnChange(nullptr);
    vScrollBar_->SetLineButton(0);
    vScrollBar_->SetMax(100);
    vScrollBar_->setEnabled(true);
  }
  vScrollBar_ = bar;
  if (bar == nullptr) return;
  bar->SetOrientation(suiVertical);
  bar->SetOnChange([this](TsuiScrollBar*) { OnVScrollBarChange(); });
  bar->raise();
  UIStyleChanged();
  UpdateScrollBarsPos();
}

void TsuiListBox::UpdateScrollBars() {
  if (vScrollBar_ == nullptr) return;
  updating_ = true;
  const QScrollBar* native = verticalScrollBar();
  TsuiScrollBar* bar = vScrollBar_.data();
  if (native->maximum() <= native->minimum()) {
    // Nothing to scroll: the native bar is unavailable, the skinned one goes.
    bar->SetLineButton(0);
    bar->setEnabled(false);
    bar->setVisible(false);
  } else if (isEnabled()) {
    const int track =
        bar->height() - bar->IncreaseButton()->height() - bar->DecreaseButton()->height();
    bar->SetLineButton(
        ListThumbLength(track, native->minimum(), native->maximum(), native->pageStep()));
    bar->setEnabled(true);
    bar->setVisible(isVisible());
  } else {
    bar->setEnabled(false);
  }
  bar->SetMax(native->maximum());
  bar->SetMin(native->minimum());
  bar->SetPosition(native->value());
  updating_ = false;
}

void TsuiListBox::OnVScrollBarChange() {
  if (updating_ || vScrollBar_ == nullptr) return;
  verticalScrollBar()->setValue(vScrollBar_->Position());
  UpdateScrollBars();
}

void TsuiListBox::UpdateScrollBarsPos() {
  TsuiScrollBar* bar = vScrollBar_.data();
  if (bar == nullptr) return;
  int x = 0;
  if (bar->width() > width())
    x = this->x();
  else if (layoutDirection() == Qt::RightToLeft)
    x = this->x() + 2;  // the bar stands at the left in a right-to-left list
  else
    x = this->x() + width() - bar->width() - 2;
  bar->setGeometry(x, y() + 1, bar->width(), height() - 2);
  UpdateScrollBars();
}

int TsuiListBox::MeasureString(const QString& text, int width) const {
  const QFontMetrics metrics(font());
  int h = metrics.horizontalAdvance(text);
  if (width > 0) {
    const QRect r = metrics.boundingRect(
        QRect(0, 0, width - 2, 1),
        static_cast<int>(alignment_) | Qt::AlignVCenter | Qt::TextSingleLine, text);
    h = std::min(r.height(), 255);
  }
  return h;
}

bool TsuiListBox::event(QEvent* event) {
  const bool result = QListWidget::event(event);
  // The border over the two-pixel band the viewport leaves free.
  if (event->type() == QEvent::Paint && borderColour_.isValid()) {
    QPainter painter(this);
    DrawControlBorder(painter, rect(), borderColour_, palette().color(QPalette::Base), true);
  }
  return result;
}

void TsuiListBox::resizeEvent(QResizeEvent* event) {
  QListWidget::resizeEvent(event);
  UpdateScrollBarsPos();
}

void TsuiListBox::moveEvent(QMoveEvent* event) {
  QListWidget::moveEvent(event);
  UpdateScrollBarsPos();
}

void TsuiListBox::changeEvent(QEvent* event) {
  QListWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) UpdateScrollBars();
}

void TsuiListBox::showEvent(QShowEvent* event) {
  QListWidget::showEvent(event);
  UpdateScrollBarsPos();
}

void TsuiListBox::hideEvent(QHideEvent* event) {
  QListWidget::hideEvent(event);
  if (vScrollBar_ != nullptr) vScrollBar_->hide();
}

TsuiFileListBox::TsuiFileListBox(QWidget* parent) : TsuiListBox(parent) {
  directory_ = QDir::currentPath();
}

void TsuiFileListBox::SetDirectory(const QString& directory) {
  directory_ = directory;
  Update();
}

void TsuiFileListBox::SetMask(const QString& mask) {
  mask_ = mask;
  Update();
}

void TsuiFileListBox::Update() {
  clear();
  // "*.*" matches every file, as the masks of a file dialog do.
  const QStringList filters = mask_ == "*.*" ? QStringList{"*"} : mask_.split(';');
  addItems(QDir(directory_).entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

TsuiDirectoryListBox::TsuiDirectoryListBox(QWidget* parent) : TsuiListBox(parent) {
  SetDirectory(QDir::currentPath());
}

void TsuiDirectoryListBox::SetDirectory(const QString& directory) {
  directory_ = QDir(directory).absolutePath();
  clear();
  paths_.clear();
  QStringList levels;
  for (QDir d(directory_);;) {
    levels.prepend(d.absolutePath());
    if (!d.cdUp()) break;
  }
  for (const QString& level : levels) {
    const QString name = QDir(level).dirName();
    addItem(name.isEmpty() ? level : name);
    paths_ << level;
  }
  const QDir dir(directory_);
  for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    addItem(sub);
    paths_ << dir.filePath(sub);
  }
  if (!levels.isEmpty()) setCurrentRow(static_cast<int>(levels.size()) - 1);
}

QString TsuiDirectoryListBox::DirectoryAt(int row) const {
  return row >= 0 && row < paths_.size() ? paths_[row] : QString();
}

}  // namespace zelvar
