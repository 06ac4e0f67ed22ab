#include "skin/Suitrackbar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "skin/Suipublic.h"

namespace zelvar {

int SliderTravelOffset(int length, int sliderLength, int min, int max, int position) {
  if (max == min) return 0;
  return static_cast<int>(static_cast<long long>(length - sliderLength) * (position - min) /
                          (static_cast<long long>(max) - min));
}

int PositionFromSliderOffset(int offset, int length, int sliderLength, int min, int max) {
  if (length == sliderLength) return 0;
  return static_cast<int>(
             std::lround(static_cast<double>(offset) * (static_cast<double>(max) - min) /
                         static_cast<double>(length - sliderLength))) +
         min;
}

std::vector<int> TickValues(int min, int max, int frequency) {
  std::vector<int> ticks;
  if (max == min) return ticks;
  int counter = 0;
  for (int v = min; v <= max; ++v) {
    if (v == max) {
      ticks.push_back(v);
    } else if (counter == frequency) {
      counter = 1;
      ticks.push_back(v);
    } else if (++counter == 1) {
      ticks.push_back(v);
    }
  }
  return ticks;
}

int PageToward(int position, int step, int positionAtClick, bool before) {
  return before ? std::max(position - step, positionAtClick)
                : std::min(position + step, positionAtClick);
}

TsuiTrackBar::TsuiTrackBar(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  resize(150, 45);
  SetUIStyle(OwnerStyle(parent));
}

void TsuiTrackBar::SetMax(int max) {
  if (max == max_) return;
  max_ = std::max(max, min_);
  position_ = std::min(position_, max_);
  UpdateSlider();
}

void TsuiTrackBar::SetMin(int min) {
  if (min == min_) return;
  min_ = std::min(min, max_);
  position_ = std::max(position_, min_);
  UpdateSlider();
}

void TsuiTrackBar::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  UpdateSlider();
}

void TsuiTrackBar::SetPageSize(int pageSize) {
  if (pageSize >= 0 && pageSize <= max_) pageSize_ = pageSize;
}

void TsuiTrackBar::SetLineSize(int lineSize) {
  if (lineSize >= 0 && lineSize <= max_) lineSize_ = lineSize;
}

void TsuiTrackBar::SetOrientation(TsuiProgressBarOrientation orientation) {
  if (orientation == orientation_) return;
  orientation_ = orientation;
  UpdateControl();
}

void TsuiTrackBar::SetShowTick(bool show) {
  showTick_ = show;
  update();
}

void TsuiTrackBar::SetTransparent(bool transparent) {
  transparent_ = transparent;
  update();
}

void TsuiTrackBar::SetFrequency(int frequency) {
  frequency_ = frequency;
  update();
}

void TsuiTrackBar::SetBarImage(const QImage& picture) {
  bar_ = picture;
  UpdateControl();
}

void TsuiTrackBar::SetSliderImage(const QImage& picture) {
  slider_ = picture;
  UpdateSlider();
}

void TsuiTrackBar::UIStyleChanged() {
  UpdateControl();
  if (UIStyle() == MacOS) transparent_ = true;
}

void TsuiTrackBar::UpdatePicture() {
  if (CustomPicture()) return;
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    theme->GetBitmap2(SKIN2_TRACKBAR, &bar_, 0, 0);
    theme->GetBitmap2(Horizontal() ? SKIN2_TRACKBARSLIDER : SKIN2_TRACKBARVSLIDER, &slider_, 0, 0);
    const QColor see = theme->GetQColor(SKIN2_TRANSCOLOR);
    const QColor form = theme->GetQColor(SKIN2_FORMCOLOR);
    if (see.isValid() && form.isValid()) ScanColor(slider_, see, form);
  } else {
    GetInsideThemeBitmap(Style(), INSIDE_TRACKBAR_BAR, &bar_);
    GetInsideThemeBitmap(Style(), Horizontal() ? INSIDE_TRACKBAR_SLIDER : INSIDE_TRACKBAR_SLIDER_V,
                         &slider_);
  }
  sliderTransparent_ = SliderTransparent();
}

void TsuiTrackBar::UpdateControl() {
  UpdatePicture();
  sliderTransparent_ = SliderTransparent();
  // The bar stretched to the control's length, turned for a vertical bar.
  barBuffer_ = QImage();
  if (!bar_.isNull() && Length() > 0) {
    barBuffer_ = QImage(Length(), bar_.height(), QImage::Format_RGB32);
    const QColor colour = palette().color(QPalette::Window);
    barBuffer_.fill(colour);
    QPainter painter(&barBuffer_);
    SpitDrawHorizontal(bar_, painter, barBuffer_.rect(), true, colour, false);
    painter.end();
    if (!Horizontal()) RoundPicture(barBuffer_);
  }
  SetSize();
  UpdateSlider();
  update();
}

void TsuiTrackBar::SetSize() {
  if (Horizontal()) {
    const int h = std::max(bar_.height(), slider_.height());
    if (h > 0 && h != height()) resize(width(), h);
  } else {
    const int w = std::max(bar_.height(), slider_.width());
    if (w > 0 && w != width()) resize(w, height());
  }
}

QPoint TsuiTrackBar::GetSliderPosFromPosition() const {
  if (Horizontal()) {
    return {SliderTravelOffset(width(), slider_.width(), min_, max_, position_),
            std::max(height() - slider_.height(), 0) / 2};
  }
  return {std::max(width() - slider_.width(), 0) / 2,
          SliderTravelOffset(height(), slider_.height(), min_, max_, position_)};
}

void TsuiTrackBar::UpdateSlider() {
  sliderPos_ = GetSliderPosFromPosition();
  update();
  Report();
}

void TsuiTrackBar::Report() {
  if (position_ == lastReported_) return;
  lastChange_ = position_ - lastReported_;
  lastReported_ = position_;
  if (OnChange) OnChange(this);
}

int TsuiTrackBar::PositionAt(const QPoint& point) const {
  const int c = Horizontal() ? point.x() : point.y();
  return PositionFromSliderOffset(c - grabOffset_, Length(), SliderLength(), min_, max_);
}

void TsuiTrackBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UpdateControl();
}

void TsuiTrackBar::mousePressEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  lastMouse_ = point;
  if (SUICanFocus() && isEnabled()) setFocus(Qt::MouseFocusReason);
  if (sliderShown_ && SliderRect().contains(point)) {
    grabOffset_ = Horizontal() ? point.x() - sliderPos_.x() : point.y() - sliderPos_.y();
    dragging_ = true;
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  const int c = Horizontal() ? point.x() : point.y();
  const int s = Horizontal() ? sliderPos_.x() : sliderPos_.y();
  if (c != s) SetPosition(PageToward(position_, pageSize_, PositionAt(point), c < s));
  if (repeat_ == nullptr) {
    repeat_ = new QTimer(this);
    repeat_->setInterval(100);
    connect(repeat_, &QTimer::timeout, this, &TsuiTrackBar::RepeatStep);
    repeat_->start();
  }
}

void TsuiTrackBar::RepeatStep() {
  const int c = Horizontal() ? lastMouse_.x() : lastMouse_.y();
  const int s = Horizontal() ? sliderPos_.x() : sliderPos_.y();
  if (c == s) return;
  const int step = Horizontal() ? 3 * pageSize_ : pageSize_;
  SetPosition(PageToward(position_, step, PositionAt(lastMouse_), c < s));
}

void TsuiTrackBar::StopRepeat() {
  delete repeat_;
  repeat_ = nullptr;
}

void TsuiTrackBar::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  lastMouse_ = point;
  if (dragging_) {
    // The position follows the mouse; the slider is placed from it.
    position_ = std::clamp(PositionAt(point), min_, max_);
    sliderPos_ = GetSliderPosFromPosition();
    update();
    Report();
  } else if (point.x() < 0 || point.x() > width() || point.y() < 0 || point.y() > height()) {
    StopRepeat();
  }
}

void TsuiTrackBar::mouseReleaseEvent(QMouseEvent*) {
  StopRepeat();
  dragging_ = false;
}

void TsuiTrackBar::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_PageUp:
      SetPosition(position_ - pageSize_);
      break;
    case Qt::Key_PageDown:
      SetPosition(position_ + pageSize_);
      break;
    case Qt::Key_End:
      SetPosition(max_);
      break;
    case Qt::Key_Home:
      SetPosition(min_);
      break;
    case Qt::Key_Left:
    case Qt::Key_Up:
      SetPosition(position_ - lineSize_);
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      SetPosition(position_ + lineSize_);
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TsuiTrackBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!transparent_) painter.fillRect(rect(), palette().color(QPalette::Window));
  if (!barBuffer_.isNull()) {
    if (Horizontal())
      painter.drawImage(0, (height() - bar_.height()) / 2, barBuffer_);
    else
      painter.drawImage((width() - bar_.height()) / 2, 0, barBuffer_);
  }
  if (hasFocus() && focusPolicy() != Qt::NoFocus) {
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  if (showTick_ && max_ != min_) {
    painter.setPen(palette().color(QPalette::WindowText));
    for (int v : Ticks()) {
      if (Horizontal()) {
        const int x =
            (v - min_) * (width() - slider_.width()) / (max_ - min_) + slider_.width() / 2;
        painter.drawLine(x, height() - 3, x, height());
      } else {
        const int y =
            (v - min_) * (height() - slider_.height()) / (max_ - min_) + slider_.height() / 2;
        painter.drawLine(0, y, 3, y);
        painter.drawLine(width() - 3, y, width(), y);
      }
    }
  }
  if (sliderShown_ && !slider_.isNull()) {
    painter.drawImage(sliderPos_, sliderTransparent_ ? MaskedImage(slider_, kMagenta) : slider_);
  }
}

TsuiScrollTrackBar::TsuiScrollTrackBar(QWidget* parent) : TsuiTrackBar(parent) {
  setFocusPolicy(Qt::NoFocus);
  UpdateControl();
}

void TsuiScrollTrackBar::SetSliderVisible(bool visible) {
  if (visible == sliderShown_) return;
  sliderShown_ = visible;
  update();
}

}  // namespace zelvar
