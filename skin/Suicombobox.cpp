#include "skin/Suicombobox.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFrame>
#include <QPainter>
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

}  // namespace zelvar
