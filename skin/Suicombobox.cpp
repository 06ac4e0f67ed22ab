#include "skin/Suicombobox.h"

#include <QAbstractItemView>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QPainter>
#include <QStorageInfo>
#include <QStyleOptionComboBox>

#include "skin/Suipictures.h"
#include "skin/Suipublic.h"

namespace zelvar {

TsuiCustomComboBox::TsuiCustomComboBox(QWidget* parent) : QComboBox(parent) {
  SetUIStyle(OwnerStyle(parent));
}

void TsuiCustomComboBox::AddItem(const std::string& text) {
  addItem(QString::fromStdString(text));
}

std::string TsuiCustomComboBox::ItemText(int index) const {
  return itemText(index).toStdString();
}

void TsuiCustomComboBox::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  update();
}

void TsuiCustomComboBox::SetButtonColor(const QColor& colour) {
  buttonColour_ = colour;
  update();
}

void TsuiCustomComboBox::SetArrowColor(const QColor& colour) {
  arrowColour_ = colour;
  update();
}

void TsuiCustomComboBox::UIStyleChanged() {
  arrowColour_ = Qt::black;
  borderColour_ = ThemeColor(INSIDE_CONTROLBORDERCOLOR, SKIN2_CONTROLBORDERCOLOR);
  buttonColour_ = ThemeInUse() != nullptr ? ThemeInUse()->GetQColor(SKIN2_CONTROLCOLOR)
                                          : GetInsideThemeQColor(Style(), INSIDE_FORMCOLOR);
  update();
}

QRect TsuiCustomComboBox::ButtonRect() const {
  QStyleOptionComboBox option;
  initStyleOption(&option);
  QRect r = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
  // The button sits inside the two-pixel frame.
  r.setTop(2);
  r.setBottom(height() - 3);
  r.setRight(width() - 3);
  return r;
}

void TsuiCustomComboBox::paintEvent(QPaintEvent* event) {
  QComboBox::paintEvent(event);
  QPainter painter(this);
  DrawButton(painter);
}

void TsuiCustomComboBox::changeEvent(QEvent* event) {
  QComboBox::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) update();  // the arrow changes colour
}

void TsuiCustomComboBox::DrawButton(QPainter& painter) {
  const QColor inner = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       isEditable() ? QPalette::Base : QPalette::Button);
  DrawControlBorder(painter, rect(), borderColour_, inner, true);
  const QRect r = ButtonRect();
  const TsuiUIStyle style = Style();
  if (style == MacOS || style == WinXP) {
    const QImage face =
        LoadResourceBitmap(style == MacOS ? "MACOS_COMBOBOX_BUTTON" : "WINXP_COMBOBOX_BUTTON");
    ResizeImage(face, painter, r);
  } else {
    painter.fillRect(r, buttonColour_);
    painter.setPen(borderColour_);
    const int x = layoutDirection() == Qt::RightToLeft ? r.right() : r.left();
    painter.drawLine(x, r.top() - 1, x, r.bottom() + 1);
  }
  // WinXP's button picture carries its own arrow.
  if (style != WinXP)
    DrawArrow(painter, r.width() / 2 + r.left() - 3, r.top() + r.height() / 2 - 1);
}

void TsuiCustomComboBox::DrawArrow(QPainter& painter, int x, int y) {
  if (isEnabled()) {
    painter.setPen(arrowColour_);
    painter.setBrush(arrowColour_);
  } else {
    // An embossed white shadow under a grey arrow.
    painter.setPen(Qt::white);
    painter.setBrush(Qt::white);
    painter.drawPolygon(
        QPolygon({QPoint(x + 1, y + 1), QPoint(x + 7, y + 1), QPoint(x + 4, y + 4)}));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.setBrush(QColor(0x80, 0x80, 0x80));
  }
  painter.drawPolygon(QPolygon({QPoint(x, y), QPoint(x + 6, y), QPoint(x + 3, y + 3)}));
}

void TsuiCustomComboBox::showPopup() {
  QComboBox::showPopup();
  // The open list gets a frame in the border colour.
  if (auto* frame = qobject_cast<QFrame*>(view()->parentWidget())) {
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    QPalette p = frame->palette();
    p.setColor(QPalette::WindowText, borderColour_);
    frame->setPalette(p);
  }
}

void TsuiCustomComboBox::hidePopup() {
  QComboBox::hidePopup();
  // Wipes what the closing list left behind.
  if (parentWidget() != nullptr) parentWidget()->update();
}

TsuiComboBox::TsuiComboBox(QWidget* parent) : TsuiCustomComboBox(parent) {}

namespace {

// The item height of the drive and filter boxes' lists.
void ItemHeight15(QComboBox* box) {
  box->view()->setStyleSheet("QAbstractItemView::item { height: 15px; }");
}

bool ListShown(const QComboBox* box) {
  return box->view() != nullptr && box->view()->isVisible();
}

void ShowList(QComboBox* box, bool down) {
  if (down == ListShown(box)) return;
  if (down)
    box->showPopup();
  else
    box->hidePopup();
}

}  // namespace

TsuiDriveComboBox::TsuiDriveComboBox(QWidget* parent) : TsuiCustomComboBox(parent) {
  ItemHeight15(this);
  Refresh();
  SetDrive(QDir::currentPath());
}

void TsuiDriveComboBox::Refresh() {
  const QString kept = Drive();
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady()) roots << volume.rootPath();
  }
  roots.removeDuplicates();
  roots.sort();
  clear();
  addItems(roots);
  if (!kept.isEmpty()) setCurrentIndex(findText(kept));
}

void TsuiDriveComboBox::SetDrive(const QString& path) {
  const QString target = QDir::cleanPath(QDir(path).absolutePath());
  int best = -1;
  for (int i = 0; i < count(); ++i) {
    const QString root = itemText(i);
    const bool holds = root == "/" || target == root || target.startsWith(root + '/');
    if (holds && (best < 0 || root.size() > itemText(best).size())) best = i;
  }
  setCurrentIndex(best);
}

bool TsuiDriveComboBox::DroppedDown() const {
  return ListShown(this);
}

void TsuiDriveComboBox::SetDroppedDown(bool down) {
  ShowList(this, down);
  update();
}

TsuiFilterComboBox::TsuiFilterComboBox(QWidget* parent) : TsuiCustomComboBox(parent) {
  ItemHeight15(this);
  SetFilter("All files (*.*)|*.*");
}

void TsuiFilterComboBox::SetFilter(const QString& filter) {
  filter_ = filter;
  clear();
  // Description and mask pairs; a description without its mask is left out.
  const QStringList parts = filter.split('|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) addItem(parts[i], parts[i + 1]);
  setCurrentIndex(count() > 0 ? 0 : -1);
}

QString TsuiFilterComboBox::Mask() const {
  return currentIndex() < 0 ? QString() : currentData().toString();
}

bool TsuiFilterComboBox::DroppedDown() const {
  return ListShown(this);
}

void TsuiFilterComboBox::SetDroppedDown(bool down) {
  ShowList(this, down);
  update();
}

}  // namespace zelvar
