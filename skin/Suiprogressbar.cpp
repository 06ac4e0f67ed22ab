#include "skin/Suiprogressbar.h"

#include <QPainter>
#include <algorithm>
#include <string>

#include "skin/Suipublic.h"

namespace zelvar {

TsuiProgressBar::TsuiProgressBar(QWidget* parent)
    : QWidget(parent), colour_(palette().button().color()) {
  resize(150, 12);
  SetUIStyle(OwnerStyle(parent));
}

void TsuiProgressBar::SetMax(int max) {
  max_ = max;
  UpdateProgress();
}

void TsuiProgressBar::SetMin(int min) {
  min_ = min;
  UpdateProgress();
}

void TsuiProgressBar::SetPosition(int position) {
  position_ = position;
  UpdateProgress();
}

void TsuiProgressBar::SetShowCaption(bool show) {
  showCaption_ = show;
  update();
}

void TsuiProgressBar::SetSmartShowCaption(bool smart) {
  smartShowCaption_ = smart;
  update();
}

void TsuiProgressBar::SetCaptionColor(const QColor& colour) {
  captionColour_ = colour;
  update();
}

void TsuiProgressBar::SetOrientation(TsuiProgressBarOrientation orientation) {
  orientation_ = orientation;
  UpdatePicture();
}

void TsuiProgressBar::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void TsuiProgressBar::SetColor(const QColor& colour) {
  colour_ = colour;
  update();
}

void TsuiProgressBar::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  update();
}

int TsuiProgressBar::GetPercentFromPosition() const {
  if (max_ == min_) return 0;
  return static_cast<int>((static_cast<double>(position_) - min_) /
                          (static_cast<double>(max_) - min_) * 100.0);
}

int TsuiProgressBar::GetWidthFromPosition(int width) const {
  if (max_ <= min_ || position_ <= min_) return 0;
  if (position_ > max_) return width;
  return static_cast<int>((static_cast<double>(position_) - min_) /
                          (static_cast<double>(max_) - min_) * width);
}

void TsuiProgressBar::UpdateProgress() {
  caption_ = std::to_string(GetPercentFromPosition()) + "%";
  update();
}

void TsuiProgressBar::UpdatePicture() {
  const TsuiUIStyle style = Style();
  GetInsideThemeBitmap(style, INSIDE_PROGRESSBAR, &picture_);
  colour_ = GetInsideThemeQColor(style, INSIDE_CONTROLCOLOR);
  borderColour_ = GetInsideThemeQColor(style, INSIDE_CONTROLBORDERCOLOR);
  if (orientation_ == suiVertical && !picture_.isNull()) RoundPicture(picture_);
  update();
}

void TsuiProgressBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int W = width();
  const int H = height();
  if (orientation_ == suiHorizontal) {
    const int x = std::max(1, GetWidthFromPosition(W - 1));
    if (!picture_.isNull()) ResizeImage(picture_, painter, QRect(1, 1, x - 1, H - 2));
    painter.fillRect(QRect(x, 1, W - 1 - x, H - 2), colour_);
  } else {
    // Filled from the bottom; the picture is drawn upside down as it grows upward.
    const int y = std::max(1, (H - 1) - GetWidthFromPosition(H - 1));
    if (!picture_.isNull()) {
      painter.save();
      painter.translate(0, H - 1);
      painter.scale(1, -1);
      ResizeImage(picture_, painter, QRect(1, 1, W - 2, H - 1 - y));
      painter.restore();
    }
    painter.fillRect(QRect(1, 1, W - 2, y - 1), colour_);
    showCaption_ = false;  // a vertical bar shows no caption
  }
  const bool atMin = smartShowCaption_ && position_ == min_;
  if (showCaption_ && !atMin) {
    painter.setPen(captionColour_);
    painter.setFont(font());
    const QString caption = QString::fromStdString(caption_);
    const QFontMetrics fm = fontMetrics();
    painter.drawText(
        QPoint((W - fm.horizontalAdvance(caption)) / 2, (H - fm.height()) / 2 + fm.ascent()),
        caption);
  }
  painter.setPen(borderColour_);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace zelvar
