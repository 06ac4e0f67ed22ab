#include "skin/Frmmsnpop.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "skin/Suipictures.h"

namespace zelvar {

namespace {

// The stay is checked every 100 ms; a slide moves at a smoother pace.
constexpr int kCheckInterval = 100;
constexpr int kSlideInterval = 15;
// Title and message are navy.
const QColor kNavy(0x00, 0x00, 0x80);

int64_t MonotonicMs() {
  static QElapsedTimer clock = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return clock.elapsed();
}

}  // namespace

void TsuiNoticeTiming::Show(int64_t now) {
  closedEvent_ = false;
  slideStart_ = now;
  state_ = TsuiNoticeState::SlidingIn;
  if (animateTime_ <= 0) {
    state_ = TsuiNoticeState::Shown;
    startTick_ = now;
  }
}

void TsuiNoticeTiming::Tick(int64_t now) {
  switch (state_) {
    case TsuiNoticeState::SlidingIn:
      if (now - slideStart_ >= animateTime_) {
        state_ = TsuiNoticeState::Shown;
        // The stay counts from the end of the slide.
        startTick_ = slideStart_ + animateTime_;
      }
      break;
    case TsuiNoticeState::Shown: {
      const int64_t elapsed = now - startTick_;
      if (elapsed < 0 || elapsed >= stayTime_) Hide(now, true);
      break;
    }
    case TsuiNoticeState::SlidingOut:
      if (now - slideStart_ >= animateTime_) {
        state_ = TsuiNoticeState::Hidden;
        closedEvent_ = true;
      }
      break;
    case TsuiNoticeState::Hidden:
      break;
  }
}

void TsuiNoticeTiming::Hide(int64_t now, bool animated) {
  if (state_ == TsuiNoticeState::Hidden || state_ == TsuiNoticeState::SlidingOut) {
    if (state_ == TsuiNoticeState::SlidingOut && !animated) {
      state_ = TsuiNoticeState::Hidden;
      closedEvent_ = true;
    }
    return;
  }
  if (animated && animateTime_ > 0) {
    state_ = TsuiNoticeState::SlidingOut;
    slideStart_ = now;
  } else {
    state_ = TsuiNoticeState::Hidden;
    closedEvent_ = true;
  }
}

double TsuiNoticeTiming::Shown(int64_t now) const {
  const double slid =
      animateTime_ <= 0
          ? 1.0
          : std::clamp(static_cast<double>(now - slideStart_) / animateTime_, 0.0, 1.0);
  switch (state_) {
    case TsuiNoticeState::SlidingIn:
      return slid;
    case TsuiNoticeState::Shown:
      return 1.0;
    case TsuiNoticeState::SlidingOut:
      return 1.0 - slid;
    case TsuiNoticeState::Hidden:
      break;
  }
  return 0.0;
}

bool TsuiNoticeTiming::TakeClosed() {
  const bool closed = closedEvent_;
  closedEvent_ = false;
  return closed;
}

QPoint NoticePosition(const QRect& workArea, const QSize& size) {
  return QPoint(workArea.right() + 1 - size.width() - 18, workArea.bottom() + 1 - size.height());
}

TfrmMSNPopForm::TfrmMSNPopForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      Clock(&MonotonicMs),
      timer_(new QTimer(this)),
      background_(LoadResourceBitmap("MSNPOPFORM")) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(background_.size());
  connect(timer_, &QTimer::timeout, this, [this] { Timer1Timer(); });
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(NoticePosition(screen->availableGeometry(), size()));
}

void TfrmMSNPopForm::SetTitle(const QString& title, const QFont& font) {
  title_ = title;
  titleFont_ = font;
  update();
}

void TfrmMSNPopForm::SetText(const QString& text, const QFont& font) {
  text_ = text;
  textFont_ = font;
  update();
}

QRect TfrmMSNPopForm::TitleRect() const {
  return QRect(10, 5, width() - 30, 18);
}

QRect TfrmMSNPopForm::TextRect() const {
  return QRect(10, 40, width() - 20, height() - 50);
}

void TfrmMSNPopForm::Start() {
  timing_.Show(Clock());
  Follow();
}

void TfrmMSNPopForm::HideNotice(bool animated) {
  timing_.Hide(Clock(), animated);
  Follow();
}

void TfrmMSNPopForm::Timer1Timer() {
  timing_.Tick(Clock());
  Follow();
}

bool TfrmMSNPopForm::TimerActive() const {
  return timer_->isActive();
}

void TfrmMSNPopForm::Follow() {
  if (timing_.State() == TsuiNoticeState::Hidden) {
    timer_->stop();
    hide();
    if (timing_.TakeClosed() && OnClose) OnClose();
    return;
  }
  const bool sliding = timing_.State() != TsuiNoticeState::Shown;
  const int interval = sliding ? kSlideInterval : kCheckInterval;
  if (!timer_->isActive() || timer_->interval() != interval) timer_->start(interval);
  // The window stays in place; its visible part grows up from (or shrinks down to) its lower
  // edge, the contents sliding with it.
  const int H = height();
  const int rows = std::max(1, static_cast<int>(std::lround(timing_.Shown(Clock()) * H)));
  slideOffset_ = H - rows;
  if (rows >= H) {
    clearMask();
  } else {
    setMask(QRegion(0, slideOffset_, width(), rows));
  }
  if (!isVisible()) {
    show();
    raise();  // top-most over whatever came up while it was away
  }
  update();
}

void TfrmMSNPopForm::paintEvent(QPaintEvent*) {
  QImage buffer(size(), QImage::Format_RGB32);
  buffer.fill(Qt::white);
  QPainter p(&buffer);
  p.translate(0, slideOffset_);
  p.drawImage(0, 0, background_);
  p.setPen(kNavy);
  p.setFont(titleFont_);
  p.drawText(TitleRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title_);
  p.setFont(textFont_);
  p.drawText(TextRect(), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text_);
  p.end();
  QPainter(this).drawImage(0, 0, buffer);
}

void TfrmMSNPopForm::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint() - QPoint(0, slideOffset_);
  if (event->button() == Qt::LeftButton && CloseBox().contains(at)) {
    // The close box hides the notice without the slide out.
    HideNotice(false);
    return;
  }
  QWidget::mousePressEvent(event);
}

void TfrmMSNPopForm::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || timing_.State() == TsuiNoticeState::Hidden) return;
  const QPoint at = event->position().toPoint() - QPoint(0, slideOffset_);
  if (TitleRect().contains(at)) {
    if (OnTitleClick) OnTitleClick();
  } else if (OnClick) {
    OnClick();
  }
  if (clickHide_) HideNotice(true);
}

TsuiMSNPopForm::TsuiMSNPopForm(QObject* owner)
    : QObject(owner),
      WorkArea([] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->availableGeometry() : QRect();
      }),
      form_(new TfrmMSNPopForm) {
  form_->OnClick = [this] {
    if (OnClick) OnClick(this);
  };
  form_->OnTitleClick = [this] {
    if (OnTitleClick) OnTitleClick(this);
  };
  form_->OnClose = [this] {
    if (OnClose) OnClose(this);
  };
  form_->Timing().SetAnimateTime(AnimateTime);
  form_->hide();
}

TsuiMSNPopForm::~TsuiMSNPopForm() {
  delete form_;
}

void TsuiMSNPopForm::Popup() {
  form_->Timing().SetAnimateTime(AnimateTime);
  form_->Timing().SetStayTime(StayTime);
  form_->SetClickHide(ClickHide);
  form_->SetTitle(Title, titleFont_);
  form_->SetText(MessageText, messageFont_);
  if (OnShow) OnShow(this);
  form_->move(AutoPosition ? NoticePosition(WorkArea(), form_->size())
                           : QPoint(PositionX, PositionY));
  form_->Start();
}

void TsuiMSNPopForm::Close() {
  form_->HideNotice(true);
}

}  // namespace zelvar
