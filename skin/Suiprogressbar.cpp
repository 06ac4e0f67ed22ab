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
  picture_ = ThemeBitmap(INSIDE_PROGRESSBAR, SKIN2_PROGRESSBAR2, 0, 0);
  colour_ = ThemeColor(INSIDE_CONTROLCOLOR, SKIN2_CONTROLCOLOR);
  borderColour_ = ThemeColor(INSIDE_CONTROLBORDERCOLOR, SKIN2_CONTROLBORDERCOLOR);
  pieces_ = {};
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    const Tsk2SkinBitmapElement elements[] = {SKIN2_PROGRESSBAR1, SKIN2_PROGRESSBAR3,
                                              SKIN2_PROGRESSBAR4};
    for (int i = 0; i < 3; ++i) {
      theme->GetBitmap2(elements[i], &pieces_[i], 0, 0);
      pieces_[i] = pieces_[i].convertToFormat(QImage::Format_RGB32);
      if (orientation_ == suiVertical && !pieces_[i].isNull()) RoundPicture(pieces_[i]);
    }
  }
  if (orientation_ == suiVertical && !picture_.isNull()) RoundPicture(picture_);
  update();
}

bool TsuiProgressBar::HasPieces() const {
  return ThemeInUse() != nullptr &&
         std::none_of(pieces_.begin(), pieces_.end(), [](const QImage& p) { return p.isNull(); });
}

namespace {

// A picture over `r` keeping `cap` rows (vertical) or columns at both ends and stretching the
// middle; nothing for a rectangle left of the control.
void DrawSliced(QPainter& painter, const QImage& picture, const QRect& r, bool rows, int cap) {
  if (r.left() < 0 || r.isEmpty() || picture.isNull()) return;
  const int length = rows ? picture.height() : picture.width();
  cap = std::min(cap, length / 2);
  const int span = rows ? r.height() : r.width();
  const int end = std::min(cap, span / 2);
  if (rows) {
    const int w = picture.width();
    painter.drawImage(QRect(r.left(), r.top(), r.width(), end), picture, QRect(0, 0, w, end));
    painter.drawImage(QRect(r.left(), r.bottom() + 1 - end, r.width(), end), picture,
                      QRect(0, length - end, w, end));
    painter.drawImage(QRect(r.left(), r.top() + end, r.width(), span - 2 * end), picture,
                      QRect(0, cap, w, length - 2 * cap));
  } else {
    const int h = picture.height();
    painter.drawImage(QRect(r.left(), r.top(), end, r.height()), picture, QRect(0, 0, end, h));
    painter.drawImage(QRect(r.right() + 1 - end, r.top(), end, r.height()), picture,
                      QRect(length - end, 0, end, h));
    painter.drawImage(QRect(r.left() + end, r.top(), span - 2 * end, r.height()), picture,
                      QRect(cap, 0, length - 2 * cap, h));
  }
}

}  // namespace

void TsuiProgressBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int W = width();
  const int H = height();
  const bool pieces = HasPieces();
  // A colour the skin lacks is not painted.
  if (pieces && colour_.isValid()) painter.fillRect(rect(), colour_);
  if (pieces && orientation_ == suiHorizontal) {
    const int s = pieces_[0].width();
    const int e = pieces_[2].width();
    const int fill = s + GetWidthFromPosition(W - s - e);
    DrawSliced(painter, pieces_[0], QRect(QPoint(0, 0), QPoint(s - 1, H - 1)), true, 2);
    DrawSliced(painter, picture_, QRect(QPoint(s, 0), QPoint(fill - 1, H - 1)), true, 2);
    DrawSliced(painter, pieces_[1], QRect(QPoint(fill, 0), QPoint(W - e - 1, H - 1)), true, 2);
    DrawSliced(painter, pieces_[2], QRect(QPoint(W - e, 0), QPoint(W - 1, H - 1)), true, 2);
  } else if (pieces) {
    const int s = pieces_[0].height();
    const int e = pieces_[2].height();
    const int y = (H - e) - GetWidthFromPosition(H - e - s);
    DrawSliced(painter, pieces_[0], QRect(QPoint(0, H - s), QPoint(W - 1, H - 1)), false, 2);
    DrawSliced(painter, picture_, QRect(QPoint(0, y), QPoint(W - 1, H - s - 1)), false, 2);
    DrawSliced(painter, pieces_[1], QRect(QPoint(0, e), QPoint(W - 1, y - 1)), false, 2);
    DrawSliced(painter, pieces_[2], QRect(QPoint(0, 0), QPoint(W - 1, e - 1)), false, 2);
  } else if (orientation_ == suiHorizontal) {
    const int x = std::max(1, GetWidthFromPosition(W - 1));
    if (!picture_.isNull()) ResizeImage(picture_, painter, QRect(1, 1, x - 1, H - 2));
    if (colour_.isValid()) painter.fillRect(QRect(x, 1, W - 1 - x, H - 2), colour_);
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
    if (colour_.isValid()) painter.fillRect(QRect(1, 1, W - 2, y - 1), colour_);
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
  if (pieces || !borderColour_.isValid()) return;  // a skin's pieces carry their own frame
  painter.setPen(borderColour_);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace zelvar
