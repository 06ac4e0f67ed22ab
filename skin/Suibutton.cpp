#include "skin/Suibutton.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "skin/Suipublic.h"

namespace zelvar {

namespace {

bool IsPressKey(int key) {
  return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The disabled look of a picture drawn without a disabled frame: its grey values, lightened.
QImage Greyed(const QImage& picture) {
  QImage out = picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const int g = 128 + qGray(line[x]) / 2;
      line[x] = qRgba(g, g, g, qAlpha(line[x]));
    }
  }
  return out;
}

// A picture's see-through colour is its upper-left pixel; pictures with their own alpha keep it.
QImage SeeThrough(const QImage& picture) {
  if (picture.hasAlphaChannel()) return picture;
  return MaskedImage(picture, picture.pixelColor(0, 0));
}

void DrawFocusRect(QPainter& painter, const QRect& rect) {
  painter.save();
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
  painter.drawRect(rect.adjusted(0, 0, -1, -1));
  painter.restore();
}

// Enter and Escape that no control took reach the window: they click its Default or Cancel
// skinned button.
class DialogKeys : public QObject {
 public:
  explicit DialogKeys(QWidget* window) : QObject(window) { setObjectName("zelvarDialogKeys"); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
      return false;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool escape = key->key() == Qt::Key_Escape;
    if (!enter && !escape) return false;
    auto* window = static_cast<QWidget*>(watched);
    for (TsuiCustomButton* b : window->findChildren<TsuiCustomButton*>()) {
      if ((enter ? b->Default() : b->Cancel()) && b->isEnabled() && b->isVisible()) {
        b->Click();
        return true;
      }
    }
    return false;
  }
};

}  // namespace

TsuiCustomButton::TsuiCustomButton(QWidget* parent) : QPushButton(parent) {
  setAutoDefault(false);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_Hover);
  SetUIStyle(OwnerStyle(parent));
}

void TsuiCustomButton::SetCaption2(const std::string& caption) {
  setText(QString::fromStdString(caption));
  CaptionChanged();
  update();
}

void TsuiCustomButton::Click() {
  if (!isEnabled()) return;
  if (down_) {
    StopRepeat();
    down_ = false;
    update();
  }
  if (modalResult_ != 0) {
    if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->done(modalResult_);
  }
  click();
}

void TsuiCustomButton::SetDefault(bool value) {
  default_ = value;
  WatchDialogKeys();
}

void TsuiCustomButton::SetCancel(bool value) {
  cancel_ = value;
  WatchDialogKeys();
}

void TsuiCustomButton::WatchDialogKeys() {
  if (!default_ && !cancel_) return;
  QWidget* w = window();
  if (w->findChild<QObject*>("zelvarDialogKeys", Qt::FindDirectChildrenOnly) != nullptr) return;
  w->installEventFilter(new DialogKeys(w));
}

void TsuiCustomButton::SetTransparent(bool transparent) {
  transparent_ = transparent;
  picTransparent_ = transparent;  // the picture's see-through follows Transparent
  update();
}

void TsuiCustomButton::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  AutoSizeChanged();
  update();
}

void TsuiCustomButton::SetFocusedRectMargin(int margin) {
  focusedRectMargin_ = margin;
  update();
}

void TsuiCustomButton::AutoSizeChanged() {
  if (!autoSize_) return;
  const QImage strip = ThemeBitmap(INSIDE_BUTTON, SKIN2_BUTTON, 0, 0);
  const int h = strip.height() == 0 ? 21 : strip.height();
  const int w = strip.width() == 0 ? 74 : strip.width();
  resize(w / 3, h);
}

void TsuiCustomButton::UIStyleChanged() {
  AutoSizeChanged();
  update();
}

void TsuiCustomButton::PaintButton(QImage* picture, int frame) {
  *picture = ThemeBitmap(INSIDE_BUTTON, SKIN2_BUTTON, 3, frame);
}

void TsuiCustomButton::PaintButtonNormal(QImage* picture) {
  PaintButton(picture, 1);
}
void TsuiCustomButton::PaintButtonMouseOn(QImage* picture) {
  PaintButton(picture, 2);
}
void TsuiCustomButton::PaintButtonMouseDown(QImage* picture) {
  PaintButton(picture, 3);
}
void TsuiCustomButton::PaintButtonDisabled(QImage* picture) {
  PaintButton(picture, 1);
}

void TsuiCustomButton::PaintPic(QPainter& painter, const QImage& picture) {
  if (picture.isNull()) return;
  QImage face = picTransparent_ ? MaskedImage(picture, picture.pixelColor(0, 0)) : picture;
  painter.drawImage(0, 0, isEnabled() ? face : Greyed(face));
}

void TsuiCustomButton::PaintText(QPainter& painter, const QString& text) {
  QFont f = font();
  if (boldCaption_) f.setBold(true);
  painter.setFont(f);
  const QRect measured = painter.fontMetrics().boundingRect(
      rect(), Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic, text);
  const QRect at(QPoint((width() - measured.width()) / 2, (height() - measured.height()) / 2),
                 measured.size());
  const int flags = Qt::AlignHCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
  if (!isEnabled()) {
    painter.setPen(Qt::white);
    painter.drawText(at.translated(1, 1), flags, text);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawText(at, flags, text);
  } else {
    painter.setPen(fontColour_);
    painter.drawText(down_ ? at.translated(1, 1) : at, flags, text);
  }
  boldCaption_ = false;
}

void TsuiCustomButton::PaintFocus(QPainter& painter) {
  const int m = focusedRectMargin_;
  DrawFocusRect(painter, QRect(QPoint(m, m), QPoint(width() - m - 1, height() - m - 1)));
}

void TsuiCustomButton::paintEvent(QPaintEvent*) {
  QImage state;
  if (isEnabled() && down_) {
    PaintButtonMouseDown(&state);
  } else if (isEnabled() && mouseOn_) {
    PaintButtonMouseOn(&state);
  } else if (isEnabled()) {
    PaintButtonNormal(&state);
  } else {
    PaintButtonDisabled(&state);
  }
  QPainter painter(this);
  // A transparent face lets the parent show through; otherwise the button's colour is under it.
  if (!transparent_) painter.fillRect(rect(), palette().window());
  PaintPic(painter, state);
  if (hasFocus() && (focusPolicy() & Qt::TabFocus)) PaintFocus(painter);
  painter.setFont(font());
  if (!text().trimmed().isEmpty()) PaintText(painter, text());
}

void TsuiCustomButton::StopRepeat() {
  delete repeat_;
  repeat_ = nullptr;
}

void TsuiCustomButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  down_ = true;
  if (repeat_ == nullptr) {
    repeat_ = new QTimer(this);
    repeat_->setInterval(std::max(interval_, 0));
    connect(repeat_, &QTimer::timeout, this, [this] {
      if (OnMouseContinuouslyDown) OnMouseContinuouslyDown();
    });
    repeat_->start();
  }
  if ((focusPolicy() & Qt::ClickFocus) && isEnabled() && isVisible())
    setFocus(Qt::MouseFocusReason);
  update();
  event->accept();
}

void TsuiCustomButton::mouseMoveEvent(QMouseEvent* event) {
  // Outside the button the pressed look goes; the timer runs on until leave, click or cancel.
  if (!InRect(event->position().toPoint(), QRect(0, 0, width(), height())) && (mouseOn_ || down_)) {
    mouseOn_ = false;
    down_ = false;
    update();
  }
  event->accept();
}

void TsuiCustomButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const bool inside = rect().contains(event->position().toPoint());
  StopRepeat();
  if (inside) {
    Click();
  } else if (down_) {
    down_ = false;
    update();
  }
}

void TsuiCustomButton::enterEvent(QEnterEvent*) {
  mouseOn_ = true;
  update();
  if (OnMouseEnter) OnMouseEnter();
}

void TsuiCustomButton::leaveEvent(QEvent*) {
  mouseOn_ = false;
  down_ = false;
  StopRepeat();
  update();
  if (OnMouseExit) OnMouseExit();
}

void TsuiCustomButton::keyPressEvent(QKeyEvent* event) {
  if (IsPressKey(event->key())) {
    if (hasFocus() && isEnabled() && !event->isAutoRepeat()) {
      down_ = true;
      update();
    }
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TsuiCustomButton::keyReleaseEvent(QKeyEvent* event) {
  if (IsPressKey(event->key())) {
    if (hasFocus() && down_ && isEnabled() && !event->isAutoRepeat()) {
      down_ = false;
      update();
      Click();
    }
    event->accept();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

void TsuiCustomButton::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void TsuiCustomButton::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void TsuiCustomButton::showEvent(QShowEvent* event) {
  QPushButton::showEvent(event);
  WatchDialogKeys();  // the button may have moved to its window after Default was set
}

TsuiButton::TsuiButton(QWidget* parent) : TsuiCustomButton(parent) {
  resize(80, 27);
  TsuiButton::UIStyleChanged();
}

void TsuiButton::SetGlyph(const QImage& glyph) {
  glyph_ = glyph;
  update();
}

void TsuiButton::SetLayout(TsuiButtonLayout layout) {
  layout_ = layout;
  update();
}

void TsuiButton::SetSpacing(int spacing) {
  spacing_ = spacing;
  update();
}

void TsuiButton::UIStyleChanged() {
  SetTransparent(ThemeBool(INSIDE_BUTTON_TRANSPARENT, SKIN2_BUTTONTRANS));
  const TsuiFileTheme* theme = ThemeInUse();
  fontColour_ = theme != nullptr ? theme->GetQColor(SKIN2_BUTTONFONTCOLOR) : QColor(Qt::black);
  TsuiCustomButton::UIStyleChanged();
}

void TsuiButton::PaintPic(QPainter& painter, const QImage& picture) {
  SpitDraw(picture, painter, rect(), PicTransparent());
  if (glyph_.isNull()) return;
  const QFontMetrics fm = painter.fontMetrics();
  const int tw = fm.horizontalAdvance(text());
  const int th = fm.height();
  const int gh = glyph_.height();
  const bool twoImages = glyph_.width() == 2 * gh;
  const int gw = twoImages ? gh : glyph_.width();
  const int W = width(), H = height(), S = spacing_;
  QPoint g;
  switch (layout_) {
    case blGlyphLeft:
      g = QPoint((W - (tw + gw + S)) / 2, (H - gh) / 2);
      textOrigin_ = QPoint(g.x() + gw + S, (H - th) / 2);
      break;
    case blGlyphRight:
      g = QPoint((W + tw + S - gw) / 2, (H - gh) / 2);
      textOrigin_ = QPoint(g.x() - tw - S, (H - th) / 2);
      break;
    case blGlyphTop:
      g = QPoint((W - gw) / 2, (H - (th + gh + S)) / 2);
      textOrigin_ = QPoint((W - tw) / 2, g.y() + gh + S);
      break;
    case blGlyphBottom:
      g = QPoint((W - gw) / 2, (H + th + S - gh) / 2);
      textOrigin_ = QPoint((W - tw) / 2, g.y() - th - S);
      break;
  }
  if (IsDown()) g += QPoint(1, 1);
  QImage image = twoImages ? glyph_.copy(isEnabled() ? 0 : gw, 0, gw, gh) : glyph_;
  image = SeeThrough(image);
  if (!twoImages && !isEnabled()) image = Greyed(image);
  painter.drawImage(g, image);
}

void TsuiButton::PaintText(QPainter& painter, const QString& text) {
  if (glyph_.isNull()) {
    TsuiCustomButton::PaintText(painter, text);
    return;
  }
  const int flags = Qt::AlignLeft | Qt::TextSingleLine | Qt::TextShowMnemonic;
  QPoint o = textOrigin_;
  auto draw = [&](const QPoint& at) {
    painter.drawText(QRect(at, QPoint(width(), height())), flags, text);
  };
  if (!isEnabled()) {
    painter.setPen(Qt::white);
    draw(o + QPoint(1, 1));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    draw(o);
    return;
  }
  if (IsDown()) o += QPoint(1, 1);
  painter.setPen(fontColour_);
  draw(o);
}

void TsuiButton::PaintFocus(QPainter& painter) {
  // MacOS and BlueGlass show the focus by a bold caption.
  if (Style() == MacOS || Style() == BlueGlass) {
    boldCaption_ = true;
    return;
  }
  TsuiCustomButton::PaintFocus(painter);
}

TsuiImageButton::TsuiImageButton(QWidget* parent) : TsuiCustomButton(parent) {
  setFocusPolicy(Qt::NoFocus);
}

void TsuiImageButton::SetPicture(QImage& slot, const QPixmap& picture) {
  slot = picture.toImage();
  AutoSizeChanged();
  updateGeometry();
  update();
}

void TsuiImageButton::SetPicNormal(const QPixmap& picture) {
  SetPicture(normal_, picture);
}
void TsuiImageButton::SetPicMouseOn(const QPixmap& picture) {
  SetPicture(mouseOn_, picture);
}
void TsuiImageButton::SetPicMouseDown(const QPixmap& picture) {
  SetPicture(down_, picture);
}
void TsuiImageButton::SetPicDisabled(const QPixmap& picture) {
  SetPicture(disabled_, picture);
}

void TsuiImageButton::SetStretch(bool stretch) {
  stretch_ = stretch;
  update();
}

void TsuiImageButton::SetDrawFocused(bool drawFocused) {
  drawFocused_ = drawFocused;
  update();
}

QSize TsuiImageButton::sizeHint() const {
  return normal_.isNull() ? TsuiCustomButton::sizeHint() : normal_.size();
}

void TsuiImageButton::AutoSizeChanged() {
  if (!normal_.isNull() && parentWidget() != nullptr) resize(normal_.size());
}

void TsuiImageButton::PaintButtonNormal(QImage* picture) {
  *picture = normal_;
}
void TsuiImageButton::PaintButtonMouseOn(QImage* picture) {
  *picture = mouseOn_.isNull() ? normal_ : mouseOn_;
}
void TsuiImageButton::PaintButtonMouseDown(QImage* picture) {
  *picture = down_.isNull() ? normal_ : down_;
}
void TsuiImageButton::PaintButtonDisabled(QImage* picture) {
  *picture = disabled_.isNull() ? normal_ : disabled_;
}

void TsuiImageButton::PaintPic(QPainter& painter, const QImage& picture) {
  if (picture.isNull()) return;
  const QImage image = SeeThrough(picture);
  if (stretch_) {
    painter.drawImage(rect(), image);
  } else {
    painter.drawImage(0, 0, image);
  }
}

void TsuiImageButton::PaintFocus(QPainter& painter) {
  if (drawFocused_) TsuiCustomButton::PaintFocus(painter);
}

TsuiControlButton::TsuiControlButton(QWidget* parent) : TsuiCustomButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  SetUIStyle(DeepBlue);
}

void TsuiControlButton::SetThemeID(int element) {
  themeId_ = element;
  FitToFrame();
}

void TsuiControlButton::SetPicIndex(int index) {
  picIndex_ = index;
  FitToFrame();
}

void TsuiControlButton::SetPicCount(int count) {
  picCount_ = count;
  FitToFrame();
}

void TsuiControlButton::UIStyleChanged() {
  FitToFrame();
}

void TsuiControlButton::Frame(QImage* picture, int frame) const {
  TsuiUIStyle style = DeepBlue;
  if (UsingFileTheme(FileTheme(), UIStyle(), style)) return;  // a file theme leaves it empty
  GetInsideThemeBitmap(style, themeId_, picture, picCount_, frame);
}

// The button takes its normal frame's size.
void TsuiControlButton::FitToFrame() {
  QImage normal;
  Frame(&normal, picIndex_);
  if (!normal.isNull()) resize(normal.size());
  update();
}

void TsuiControlButton::PaintButtonNormal(QImage* picture) {
  Frame(picture, picIndex_);
}
void TsuiControlButton::PaintButtonMouseOn(QImage* picture) {
  Frame(picture, picIndex_ + 1);
}
void TsuiControlButton::PaintButtonMouseDown(QImage* picture) {
  Frame(picture, picIndex_);
}
void TsuiControlButton::PaintButtonDisabled(QImage* picture) {
  Frame(picture, picIndex_);
}

void TsuiControlButton::PaintPic(QPainter& painter, const QImage& picture) {
  if (picture.isNull()) return;
  painter.drawImage(0, 0, MaskedImage(picture, picture.pixelColor(0, 0)));
}

TsuiArrowButton::TsuiArrowButton(QWidget* parent) : TsuiCustomButton(parent) {
  TsuiArrowButton::UIStyleChanged();
}

void TsuiArrowButton::SetArrow(TsuiArrowButtonType arrow) {
  arrow_ = arrow;
  repaint();
}

void TsuiArrowButton::UIStyleChanged() {
  SetTransparent(ThemeBool(INSIDE_BUTTON_TRANSPARENT, SKIN2_BUTTONTRANS));
  TsuiCustomButton::UIStyleChanged();
}

void TsuiArrowButton::PaintPic(QPainter& painter, const QImage& picture) {
  SpitDraw(picture, painter, rect(), PicTransparent());
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

TsuiToolBarSpeedButton::TsuiToolBarSpeedButton(QWidget* parent)
    : QWidget(parent), colour_(palette().button().color()), toColour_(colour_) {
  resize(18, 18);
}

void TsuiToolBarSpeedButton::SetColor(const QColor& colour) {
  colour_ = colour;
  update();
}

void TsuiToolBarSpeedButton::SetToColor(const QColor& colour) {
  toColour_ = colour;
  update();
}

void TsuiToolBarSpeedButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (colour_ != toColour_) {
    DrawHorizontalGradient(painter, rect(), colour_, toColour_);
  } else {
    painter.fillRect(rect(), colour_);
  }
  if (glyph_.isNull()) return;
  if (mouseOn_) {
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  painter.drawImage(1, 1, SeeThrough(glyph_));
}

void TsuiToolBarSpeedButton::enterEvent(QEnterEvent*) {
  mouseOn_ = true;
  update();
}

void TsuiToolBarSpeedButton::leaveEvent(QEvent*) {
  mouseOn_ = false;
  update();
}

void TsuiToolBarSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
    OnClick();
}

TsuiCheckBox::TsuiCheckBox(QWidget* parent) : QAbstractButton(parent) {
  resize(93, 17);
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QAbstractButton::clicked, this, [this] { DoClick(); });
  SetUIStyle(OwnerStyle(parent));
}

void TsuiCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  repaint();
  CheckStateChanged();
}

std::string TsuiCheckBox::Caption() const {
  return text().toStdString();
}

void TsuiCheckBox::SetCaption(const std::string& caption) {
  setText(QString::fromStdString(caption));
  UpdateAutoSize();
  update();
}

void TsuiCheckBox::Click() {
  DoClick();
}

void TsuiCheckBox::SetTransparent(bool transparent) {
  transparent_ = transparent;
  update();
}

void TsuiCheckBox::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  UpdateAutoSize();
  update();
}

void TsuiCheckBox::SetFontColor(const QColor& colour) {
  fontColour_ = colour;
  update();
}

void TsuiCheckBox::CheckStateChanged() {
  if (OnClick && !IsFormLoading(this)) OnClick();
}

void TsuiCheckBox::DoClick() {
  SetChecked(!checked_);
}

bool TsuiCheckBox::NeedDrawFocus() const {
  return (focusPolicy() & Qt::TabFocus) && hasFocus();
}

void TsuiCheckBox::UIStyleChanged() {
  UpdateAutoSize();
  update();
}

// The frame for the state: checked 1, unchecked 2, checked and disabled 3, unchecked and
// disabled 4.
QImage TsuiCheckBox::Picture() const {
  const int frame = (checked_ ? 1 : 2) + (isEnabled() ? 0 : 2);
  return ThemeBitmap(GetPicThemeIndex(), GetPicThemeIndexOuter(), 4, frame);
}

QSize TsuiCheckBox::AutoSizeFor(const QImage& picture) const {
  const QFontMetrics fm = fontMetrics();
  const int th = fm.height();
  return QSize(picture.width() + 8 + fm.horizontalAdvance(text()),
               std::max(th + 2, picture.height()) + 4);
}

void TsuiCheckBox::UpdateAutoSize() {
  if (!autoSize_) return;
  const QSize size = AutoSizeFor(Picture());
  if (size != this->size()) resize(size);
  updateGeometry();
}

QSize TsuiCheckBox::sizeHint() const {
  return autoSize_ ? AutoSizeFor(Picture()) : size();
}

void TsuiCheckBox::changeEvent(QEvent* event) {
  QAbstractButton::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange) {
    UpdateAutoSize();
    update();
  }
}

void TsuiCheckBox::paintEvent(QPaintEvent*) {
  QImage picture = Picture();
  if (GetPicTransparent() && !picture.isNull())
    picture = MaskedImage(picture, picture.pixelColor(0, 0));
  QPainter painter(this);
  if (!transparent_) painter.fillRect(rect(), palette().window());
  painter.setFont(font());
  const int th = fontMetrics().height();
  const int textY = (height() - th) / 2;
  const int pw = picture.width();
  const bool rtl = layoutDirection() == Qt::RightToLeft;
  painter.setPen(fontColour_);  // the caption keeps its colour when disabled
  int textLeft = pw + 4;
  QRect focus;
  if (!rtl) {
    painter.drawImage(1, (height() - picture.height()) / 2, picture);
    painter.drawText(QRect(textLeft, textY, width() - textLeft, height() - textY),
                     Qt::AlignLeft | Qt::TextSingleLine | Qt::TextShowMnemonic, text());
    focus = QRect(QPoint(textLeft - 1, textY), QPoint(width() - 1, textY + th + 1));
  } else {
    painter.drawImage(width() - pw - 1, (height() - picture.height()) / 2, picture);
    painter.drawText(QRect(0, textY, width() - textLeft, height() - textY),
                     Qt::AlignRight | Qt::TextSingleLine | Qt::TextShowMnemonic, text());
    focus = QRect(QPoint(0, textY), QPoint(width() - textLeft + 1, textY + th + 1));
  }
  if (NeedDrawFocus()) DrawFocusRect(painter, focus);
}

// Space and Enter toggle a check box on key-up; a radio button does not react to them.
void TsuiCheckBox::keyPressEvent(QKeyEvent* event) {
  if (IsPressKey(event->key())) {
    event->accept();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

void TsuiCheckBox::keyReleaseEvent(QKeyEvent* event) {
  if (IsPressKey(event->key())) {
    if (WantKeyUp() && isEnabled() && !event->isAutoRepeat()) {
      repaint();
      Click();
    }
    event->accept();
    return;
  }
  QAbstractButton::keyReleaseEvent(event);
}

TsuiRadioButton::TsuiRadioButton(QWidget* parent) : TsuiCheckBox(parent) {}

void TsuiRadioButton::CheckStateChanged() {
  if (!Checked()) return;
  UnCheckGroup();
  if (OnClick && !IsFormLoading(this)) OnClick();
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
