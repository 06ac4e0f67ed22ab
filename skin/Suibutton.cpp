#include "skin/Suibutton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace zelvar {

TsuiCustomButton::TsuiCustomButton(QWidget* parent) : QPushButton(parent) {}

void TsuiCustomButton::SetCaption2(const std::string& caption) {
  caption_ = caption;
  setText(QString::fromStdString(caption));
  CaptionChanged();
  update();
}

TsuiButton::TsuiButton(QWidget* parent) : TsuiCustomButton(parent) {}

TsuiImageButton::TsuiImageButton(QWidget* parent) : TsuiCustomButton(parent) {
  setFlat(true);
}

void TsuiImageButton::SetPicNormal(const QPixmap& picture) {
  normal_ = picture;
  ApplyPictures();
}

void TsuiImageButton::SetPicDisabled(const QPixmap& picture) {
  disabled_ = picture;
  ApplyPictures();
}

void TsuiImageButton::ApplyPictures() {
  QIcon icon(normal_);
  if (!disabled_.isNull()) icon.addPixmap(disabled_, QIcon::Disabled);
  setIcon(icon);
  if (!normal_.isNull()) setIconSize(normal_.size());
  update();
}

TsuiArrowButton::TsuiArrowButton(QWidget* parent) : TsuiCustomButton(parent) {}

void TsuiArrowButton::SetArrow(TsuiArrowButtonType arrow) {
  arrow_ = arrow;
  update();
}

void TsuiArrowButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();  // the arrow button draws no caption
  painter.drawControl(QStyle::CE_PushButton, option);
  // A filled triangle in a 7 x 4 box in the middle of the face.
  const int x0 = (width() - 6) / 2;
  const int y0 = (height() - 3) / 2;
  QPolygon triangle;
  if (arrow_ == suiUp) {
    triangle << QPoint(x0, y0 + 3) << QPoint(x0 + 3, y0) << QPoint(x0 + 6, y0 + 3);
  } else {
    triangle << QPoint(x0, y0) << QPoint(x0 + 3, y0 + 3) << QPoint(x0 + 6, y0);
  }
  painter.setPen(Qt::black);
  painter.setBrush(Qt::black);
  painter.drawPolygon(triangle);
}

TsuiCheckBox::TsuiCheckBox(QWidget* parent) : QAbstractButton(parent) {
  resize(93, 17);
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QAbstractButton::clicked, this, [this] { DoClick(); });
}

void TsuiCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  update();
  CheckStateChanged();
}

std::string TsuiCheckBox::Caption() const {
  return text().toStdString();
}

void TsuiCheckBox::SetCaption(const std::string& caption) {
  setText(QString::fromStdString(caption));
  updateGeometry();
  update();
}

void TsuiCheckBox::Click() {
  DoClick();
}

void TsuiCheckBox::CheckStateChanged() {
  if (OnClick) OnClick();
}

void TsuiCheckBox::DoClick() {
  SetChecked(!checked_);
}

QSize TsuiCheckBox::sizeHint() const {
  QStyleOptionButton option;
  option.initFrom(this);
  option.text = text();
  const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, text());
  return style()->sizeFromContents(IsRadio() ? QStyle::CT_RadioButton : QStyle::CT_CheckBox,
                                   &option, textSize, this);
}

void TsuiCheckBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  option.initFrom(this);
  option.text = text();
  option.state |= checked_ ? QStyle::State_On : QStyle::State_Off;
  if (isDown()) option.state |= QStyle::State_Sunken;
  painter.drawControl(IsRadio() ? QStyle::CE_RadioButton : QStyle::CE_CheckBox, option);
}

// Space and Enter toggle a check box on key-up; a radio button does not react to them.
void TsuiCheckBox::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

void TsuiCheckBox::keyReleaseEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (WantKeyUp() && isEnabled() && !event->isAutoRepeat()) Click();
    event->accept();
    return;
  }
  QAbstractButton::keyReleaseEvent(event);
}

TsuiRadioButton::TsuiRadioButton(QWidget* parent) : TsuiCheckBox(parent) {}

void TsuiRadioButton::CheckStateChanged() {
  if (!Checked()) return;
  UnCheckGroup();
  if (OnClick) OnClick();
}

void TsuiRadioButton::DoClick() {
  if (!Checked()) SetChecked(true);
}

void TsuiRadioButton::UnCheckGroup() {
  QWidget* parent = parentWidget();
  if (parent == nullptr) return;
  for (TsuiRadioButton* other :
       parent->findChildren<TsuiRadioButton*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (other != this && other->GroupIndex() == groupIndex_) other->SetChecked(false);
  }
}

}  // namespace zelvar
