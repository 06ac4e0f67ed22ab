#include "skin/Suiprogressbar.h"

#include <QPainter>
#include <algorithm>
#include <string>

namespace zelvar {

TsuiProgressBar::TsuiProgressBar(QWidget* parent) : QWidget(parent) {
  resize(150, 12);
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

void TsuiProgressBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int w = width();
  const int h = height();
  const int x = std::max(1, GetWidthFromPosition(w - 1));
  painter.fillRect(QRect(QPoint(1, 1), QPoint(x - 1, h - 2)), palette().highlight());
  painter.fillRect(QRect(QPoint(x, 1), QPoint(w - 2, h - 2)), palette().base());
  if (showCaption_) {
    painter.setPen(palette().text().color());
    painter.drawText(rect(), Qt::AlignCenter, QString::fromStdString(caption_));
  }
  painter.setPen(palette().mid().color());
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace zelvar
