#include "skin/Suisidechannel.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "skin/Suipictures.h"
#include "skin/Suipublic.h"

namespace zelvar {

namespace {

// How wide the free edge grips for a resize by the user.
constexpr int kEdgeGrip = 4;
// The narrowest width the user may drag an open side channel to.
constexpr int kMinimumUserWidth = 50;

QIcon PinIcon(bool down) {
  QImage pin = LoadResourceBitmap("SIDECHANNEL_BTN");
  if (down) RoundPicture3(pin);  // a pushed-in pin points down
  return QIcon(QPixmap::fromImage(MaskedImage(pin, pin.pixelColor(0, 0))));
}

}  // namespace

TsuiSideChannel::TsuiSideChannel(QWidget* parent)
    : QWidget(parent),
      CursorSource([] { return QCursor::pos(); }),
      pinButton_(new QToolButton(this)),
      checkTimer_(new QTimer(this)) {
  QFont f = font();
  f.setFamily("Tahoma");
  setFont(f);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  pinButton_->setAutoRaise(true);
  pinButton_->setCheckable(true);
  pinButton_->setFixedSize(20, 16);
  pinButton_->setIcon(PinIcon(false));
  connect(pinButton_, &QToolButton::clicked, this, [this] { OnPinClick(); });
  checkTimer_->setInterval(1000);
  connect(checkTimer_, &QTimer::timeout, this, [this] { OnTimerCheck(); });
  if (parent != nullptr) parent->installEventFilter(this);
  SetUIStyle(OwnerStyle(parent));
  Push(true);
}

TsuiSideChannel::~TsuiSideChannel() {
  if (parentWidget() != nullptr) parentWidget()->removeEventFilter(this);
}

void TsuiSideChannel::StepTo(int width) {
  setFixedWidth(width);
  Dock();
  repaint();
}

void TsuiSideChannel::Pop(bool quick) {
  moving_ = true;
  pinButton_->show();
  if (!quick) {
    while (width() + kStep < openedWidth_) {
      StepTo(width() + kStep);
      // Events that arrive between the steps are ignored while the moving flag is set.
      QApplication::processEvents();
    }
  }
  StepTo(openedWidth_);
  checkTimer_->start();
  moving_ = false;
  popped_ = true;
  update();
  if (OnPop) OnPop();
}

void TsuiSideChannel::Push(bool quick) {
  moving_ = true;
  popped_ = false;
  checkTimer_->stop();
  if (!quick) {
    while (width() - kStep > kSideBarWidth) {
      StepTo(width() - kStep);
      QApplication::processEvents();
    }
  }
  StepTo(kSideBarWidth);
  pinButton_->hide();
  moving_ = false;
  update();
  if (OnPush) OnPush();
}

void TsuiSideChannel::SetWidth(int width) {
  openedWidth_ = width;
  if (popped_) StepTo(width);
}

void TsuiSideChannel::SetAlign(TsuiSideChannelAlign align) {
  align_ = align;
  Dock();
  update();
}

void TsuiSideChannel::SetStayOn(bool stayOn) {
  stayOn_ = stayOn;
  if (stayOn) {
    Pop(quickMove_);
    pinButton_->setChecked(true);
  } else {
    pinButton_->setChecked(false);
    Push(true);
  }
  PlacePin();
  // As a click on the pin: the timer and the pin's picture follow the button.
  OnPinClick();
}

void TsuiSideChannel::SetShowButton(bool show) {
  showButton_ = show;
  if (!show) {
    pinButton_->move(pinButton_->x(), -50);
    SetStayOn(true);
  } else {
    pinButton_->move(pinButton_->x(), 1);
  }
}

void TsuiSideChannel::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void TsuiSideChannel::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update();
}

void TsuiSideChannel::SetSideBarColor(const QColor& colour) {
  sideBarColour_ = colour;
  update();
}

void TsuiSideChannel::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  update();
}

void TsuiSideChannel::SetCaptionFontColor(const QColor& colour) {
  captionFontColour_ = colour;
  update();
}

void TsuiSideChannel::SetTitleBitmap(const QImage& picture) {
  titleBitmap_ = picture;
  // Controls stand below the title strip, right of the side bar.
  setContentsMargins(13, TitleHeight() + 3, 3, 3);
  update();
}

void TsuiSideChannel::SetHandleBitmap(const QImage& picture) {
  handleBitmap_ = picture;
  update();
}

bool TsuiSideChannel::CheckTimerActive() const {
  return checkTimer_->isActive();
}

void TsuiSideChannel::OnTimerCheck() {
  if (moving_) return;
  if (parentWidget() == nullptr) {
    Push(quickMove_);
    return;
  }
  const QRect r(mapToGlobal(QPoint(0, 0)), size());
  const QPoint at = CursorSource();
  const bool inside = at.x() > r.left() && at.x() < r.left() + r.width() && at.y() > r.top() &&
                      at.y() < r.top() + r.height();
  if (!inside) Push(quickMove_);
}

bool TsuiSideChannel::CanResize(int newWidth) const {
  return moving_ || pinButton_->isHidden() || newWidth >= kMinimumUserWidth;
}

void TsuiSideChannel::OnPinClick() {
  const bool down = pinButton_->isChecked();
  checkTimer_->setInterval(1000);
  if (down) {
    checkTimer_->stop();
  } else if (popped_) {
    checkTimer_->start();
  }
  pinButton_->setIcon(PinIcon(down));
  stayOn_ = down;
  if (down && OnPin) OnPin();
  if (!down && OnUnPin) OnUnPin();
}

void TsuiSideChannel::PlacePin() {
  pinButton_->move(openedWidth_ - pinButton_->width() - 1, pinButton_->y());
}

void TsuiSideChannel::Dock() {
  QWidget* parent = parentWidget();
  // Inside a layout the layout places the control; on a bare parent it keeps to its edge.
  if (parent == nullptr || parent->layout() != nullptr) return;
  const QRect client = parent->contentsRect();
  const int x =
      align_ == TsuiSideChannelAlign::suiRight ? client.right() + 1 - width() : client.left();
  setGeometry(x, client.top(), width(), client.height());
}

void TsuiSideChannel::UIStyleChanged() {
  colour_ = Qt::white;
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    sideBarColour_ = theme->GetQColor(SKIN2_FORMCOLOR);
    // A skin without the side-channel pictures falls back to DeepBlue's.
    const QImage* handle = theme->GetBitmap(SKIN2_SIDECHANNELBAR);
    if (handle != nullptr && !handle->isNull()) {
      handleBitmap_ = *handle;
    } else {
      GetInsideThemeBitmap(DeepBlue, INSIDE_SIDECHANNEL_HANDLE, &handleBitmap_);
    }
    const QImage* title = theme->GetBitmap(SKIN2_SIDECHANNELTITLE);
    if (title != nullptr && !title->isNull()) {
      titleBitmap_ = *title;
    } else {
      GetInsideThemeBitmap(DeepBlue, INSIDE_SIDECHANNEL_BAR, &titleBitmap_);
    }
    borderColour_ = theme->GetQColor(SKIN2_SIDECHANNELBORDERCOLOR);
    captionFontColour_ = theme->GetQColor(SKIN2_CONTROLFONTCOLOR);
  } else {
    const TsuiUIStyle style = Style();
    sideBarColour_ = GetInsideThemeQColor(style, INSIDE_FORMCOLOR);
    GetInsideThemeBitmap(style, INSIDE_SIDECHANNEL_HANDLE, &handleBitmap_);
    GetInsideThemeBitmap(style, INSIDE_SIDECHANNEL_BAR, &titleBitmap_);
    borderColour_ = GetInsideThemeQColor(style, INSIDE_CONTROLBORDERCOLOR);
    captionFontColour_ = style == MacOS
                             ? QColor(Qt::black)
                             : GetInsideThemeQColor(style, INSIDE_MENU_SELECTEDFONTCOLOR);
  }
  SetTitleBitmap(titleBitmap_);
  if (showButton_) {
    pinButton_->move(pinButton_->x(), std::min((TitleHeight() - pinButton_->height()) / 2, 5));
  } else if (!stayOn_) {
    pinButton_->move(pinButton_->x(), -50);
    SetStayOn(true);
  }
  ContainerApplyUIStyle(this, UIStyle(), FileTheme());
  update();
}

void TsuiSideChannel::paintEvent(QPaintEvent*) {
  QImage buffer(size(), QImage::Format_RGB32);
  QPainter p(&buffer);
  const int W = width();
  const int H = height();
  const int th = TitleHeight();
  p.setBrush(colour_);
  p.setPen(borderColour_.isValid() ? borderColour_ : colour_);
  p.drawRect(QRect(0, 0, W - 1, H - 1));
  if (!titleBitmap_.isNull()) p.drawImage(QRect(1, 0, W - 2, th), titleBitmap_);
  if (popped_) {
    const int pin = pinButton_->width();
    QRect title(pin, 0, W - 2 * pin, th);
    p.setFont(font());
    p.setPen(captionFontColour_.isValid() ? captionFontColour_ : QColor(Qt::black));
    p.drawText(title,
               Qt::TextSingleLine | Qt::AlignVCenter | (alignment_ & Qt::AlignHorizontal_Mask),
               caption_);
  }
  p.fillRect(QRect(1, th, 8, H - 1 - th), sideBarColour_);
  p.setPen(QColor(0x80, 0x80, 0x80));
  p.drawLine(9, th, 9, H - 2);
  if (!handleBitmap_.isNull()) {
    const int y = std::max((H - handleBitmap_.height()) / 2, th + 1);
    p.drawImage(1, y, handleBitmap_);
  }
  p.end();
  QPainter(this).drawImage(0, 0, buffer);
}

void TsuiSideChannel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!moving_ && width() > kSideBarWidth) openedWidth_ = width();
  PlacePin();
}

bool TsuiSideChannel::OnFreeEdge(const QPoint& pos) const {
  const bool left = align_ == TsuiSideChannelAlign::suiLeft;
  return popped_ && (left ? pos.x() >= width() - kEdgeGrip : pos.x() < kEdgeGrip);
}

void TsuiSideChannel::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  const QPoint pos = event->position().toPoint();
  if (resizing_) {
    const int dx = event->globalPosition().toPoint().x() - dragStartX_;
    const int wanted = dragStartWidth_ + (align_ == TsuiSideChannelAlign::suiLeft ? dx : -dx);
    if (wanted != width() && CanResize(wanted)) {
      setFixedWidth(wanted);
      Dock();
    }
    return;
  }
  setCursor(OnFreeEdge(pos) ? Qt::SizeHorCursor : Qt::ArrowCursor);
  if (moving_ || popped_ || popupMode_ == TsuiSideChannelPopupMode::suiMouseClick) return;
  // Only a window the user is working in opens its side channel.
  if (!window()->isActiveWindow()) return;
  Pop(quickMove_);
}

void TsuiSideChannel::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton && OnFreeEdge(pos)) {
    resizing_ = true;
    dragStartX_ = event->globalPosition().toPoint().x();
    dragStartWidth_ = width();
    return;
  }
  QWidget::mousePressEvent(event);
}

void TsuiSideChannel::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (resizing_) {
    resizing_ = false;
    return;
  }
  if (!popped_ && popupMode_ == TsuiSideChannelPopupMode::suiMouseClick) Pop(quickMove_);
}

bool TsuiSideChannel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) Dock();
  return QWidget::eventFilter(watched, event);
}

}  // namespace zelvar
