#include "skin/Suiscrollbar.h"

#include <QEvent>
#include <QPainter>
#include <QPixmap>

#include "skin/Suibutton.h"
#include "skin/Suipublic.h"
#include "skin/Suitrackbar.h"

namespace zelvar {

int ScrollThumbLength(int trackLength, int pageSize, int lineButton) {
  if (lineButton >= 1) return std::max(lineButton, 16);
  const int p = pageSize < 10 || pageSize > 100 ? 10 : pageSize;
  return trackLength > 0 ? trackLength * p / 100 : 0;
}

TsuiScrollBar::TsuiScrollBar(QWidget* parent)
    : QWidget(parent),
      track_(new TsuiScrollTrackBar(this)),
      increase_(new TsuiImageButton(this)),
      decrease_(new TsuiImageButton(this)) {
  track_->SetShowTick(false);
  track_->SetTransparent(false);
  track_->SetMax(100);
  for (TsuiImageButton* button : {increase_, decrease_}) {
    button->SetMouseContinuouslyDownInterval(100);
    button->setFocusPolicy(Qt::NoFocus);
  }
  increase_->OnMouseContinuouslyDown = [this] {
    track_->SetPosition(track_->Position() + smallChange_);
  };
  decrease_->OnMouseContinuouslyDown = [this] {
    track_->SetPosition(track_->Position() - smallChange_);
  };
  resize(width(), 185);
  SetUIStyle(OwnerStyle(parent));
  PlaceTrackBarAndButton();
}

void TsuiScrollBar::SetMax(int max) {
  track_->SetMax(max);
}
int TsuiScrollBar::Max() const {
  return track_->Max();
}
void TsuiScrollBar::SetMin(int min) {
  track_->SetMin(min);
}
int TsuiScrollBar::Min() const {
  return track_->Min();
}

void TsuiScrollBar::SetPosition(int position) {
  if (position != track_->Position()) track_->SetPosition(position);
}
int TsuiScrollBar::Position() const {
  return track_->Position();
}

void TsuiScrollBar::SetPageSize(int pageSize) {
  track_->SetPageSize(pageSize);
  UpdateSliderPic();
}
int TsuiScrollBar::PageSize() const {
  return track_->PageSize();
}

void TsuiScrollBar::SetLargeChange(int change) {
  track_->SetPageSize(change);
}

int TsuiScrollBar::FreeTrackLength() const {
  return orientation_ == suiHorizontal ? width() - increase_->width() - decrease_->width()
                                       : height() - increase_->height() - decrease_->height();
}

void TsuiScrollBar::SetLineButton(int lineButton) {
  if (lineButton == lineButton_ || lineButton > FreeTrackLength()) return;
  lineButton_ = lineButton;
  UpdateSliderPic();
}

void TsuiScrollBar::SetOrientation(TsuiProgressBarOrientation orientation) {
  if (orientation == orientation_) return;
  orientation_ = orientation;
  UpdatePictures();
  PlaceTrackBarAndButton();
}

void TsuiScrollBar::SetSliderVisible(bool visible) {
  if (visible != track_->SliderVisible()) track_->SetSliderVisible(visible);
}
bool TsuiScrollBar::SliderVisible() const {
  return track_->SliderVisible();
}
int TsuiScrollBar::LastChange() const {
  return track_->LastChange();
}

void TsuiScrollBar::SetOnChange(std::function<void(TsuiScrollBar*)> onChange) {
  if (!onChange) {
    track_->OnChange = nullptr;
    return;
  }
  track_->OnChange = [this, onChange = std::move(onChange)](TsuiTrackBar*) { onChange(this); };
}

void TsuiScrollBar::UIStyleChanged() {
  UpdatePictures();
  PlaceTrackBarAndButton();
}

void TsuiScrollBar::UpdatePictures() {
  QImage buttons[6];
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    colour_ = theme->GetQColor(SKIN2_SCROLLBARCOLOR);
    QImage strip;
    theme->GetBitmap2(SKIN2_SCROLLBAR, &strip, 0, 0);
    if (!strip.isNull()) RoundPicture(strip);
    SpitBitmap(strip, &thumbStart_, 3, 1);
    SpitBitmap(strip, &thumbGrip_, 3, 2);
    SpitBitmap(strip, &thumbEnd_, 3, 3);
    for (int i = 0; i < 3; ++i) {
      theme->GetBitmap2(SKIN2_SCROLLBARUPBUTTON, &buttons[i], 3, i + 1);
      theme->GetBitmap2(SKIN2_SCROLLBARDOWNBUTTON, &buttons[i + 3], 3, i + 1);
    }
  } else {
    colour_ = GetInsideThemeQColor(Style(), INSIDE_SCROLLBAR_COLOR);
    GetInsideThemeBitmap(Style(), INSIDE_SCROLLBAR_TRACK, &thumbStart_, 3, 1);
    GetInsideThemeBitmap(Style(), INSIDE_SCROLLBAR_TRACK, &thumbGrip_, 3, 2);
    GetInsideThemeBitmap(Style(), INSIDE_SCROLLBAR_TRACK, &thumbEnd_, 3, 3);
    for (int i = 0; i < 6; ++i)
      GetInsideThemeBitmap(Style(), INSIDE_SCROLLBAR_BUTTON, &buttons[i], 6, i + 1);
  }
  if (orientation_ == suiHorizontal) {
    for (QImage& b : buttons)
      if (!b.isNull()) RoundPicture(b);
  } else {
    for (QImage* t : {&thumbStart_, &thumbGrip_, &thumbEnd_})
      if (!t->isNull()) RoundPicture3(*t);
  }
  decrease_->SetPicNormal(QPixmap::fromImage(buttons[0]));
  decrease_->SetPicMouseOn(QPixmap::fromImage(buttons[1]));
  decrease_->SetPicMouseDown(QPixmap::fromImage(buttons[2]));
  increase_->SetPicNormal(QPixmap::fromImage(buttons[3]));
  increase_->SetPicMouseOn(QPixmap::fromImage(buttons[4]));
  increase_->SetPicMouseDown(QPixmap::fromImage(buttons[5]));
  for (TsuiImageButton* button : {increase_, decrease_}) button->SetAutoSize(true);
  // The track shows only the colour behind the thumb.
  QPalette p = track_->palette();
  if (colour_.isValid()) p.setColor(QPalette::Window, colour_);
  track_->setPalette(p);
  track_->SetBarImage(QImage());
  update();
}

void TsuiScrollBar::PlaceTrackBarAndButton() {
  if (placing_) return;
  placing_ = true;
  track_->SetOrientation(orientation_);
  if (width() == 0 || height() == 0) {
    setVisible(false);
    placing_ = false;
    return;
  }
  if (orientation_ == suiHorizontal) {
    const int h = decrease_->height();
    decrease_->move(0, 0);
    track_->setGeometry(decrease_->width(), 0,
                        std::max(width() - increase_->width() - decrease_->width(), 0), h);
    increase_->move(width() - increase_->width(), 0);
    if (height() != h) resize(width(), h);
  } else {
    const int w = decrease_->width();
    decrease_->move(0, 0);
    track_->setGeometry(0, decrease_->height(), w,
                        std::max(height() - increase_->height() - decrease_->height(), 0));
    increase_->move(0, height() - increase_->height());
    if (width() != w) resize(w, height());
  }
  placing_ = false;
  UpdateSliderPic();
}

void TsuiScrollBar::UpdateSliderPic() {
  if (thumbStart_.isNull()) return;
  const bool horizontal = orientation_ == suiHorizontal;
  const int trackLength = horizontal ? track_->width() : track_->height();
  if (lineButton_ >= 1) lineButton_ = std::max(lineButton_, 16);
  const int length = ScrollThumbLength(trackLength, track_->PageSize(), lineButton_);
  if (length <= 0) return;
  const int thickness = horizontal ? thumbStart_.height() : thumbStart_.width();
  QImage work(horizontal ? QSize(length, thickness) : QSize(thickness, length),
              QImage::Format_RGB32);
  work.fill(colour_.isValid() ? colour_ : QColor(Qt::white));
  QPainter p(&work);
  // Along the travel: a span [from, to) of the work picture and of a piece.
  const auto span = [horizontal, thickness](int from, int to) {
    return horizontal ? QRect(from, 0, to - from, thickness) : QRect(0, from, thickness, to - from);
  };
  const auto pieceLength = [horizontal](const QImage& piece) {
    return horizontal ? piece.width() : piece.height();
  };
  p.drawImage(0, 0, thumbStart_);
  const int endLength = pieceLength(thumbEnd_);
  if (ThemeInUse() == nullptr) {
    p.drawImage(span(length - endLength, length), thumbEnd_);
    p.drawImage(span(pieceLength(thumbStart_), length - endLength), thumbGrip_);
  } else if (length >= 6) {
    p.drawImage(span(length - 3, length), thumbEnd_, span(endLength - 3, endLength));
    const int m = length - 6;
    const int grip = pieceLength(thumbGrip_);
    if (grip > m) {
      p.drawImage(span(3, length - 3), thumbGrip_);
    } else {
      const int g = (m - grip) / 2 + 3;
      p.drawImage(span(3, g), thumbStart_, span(3, pieceLength(thumbStart_)));
      p.drawImage(span(g, g + grip), thumbGrip_);
      p.drawImage(span(g + grip, length - 3), thumbEnd_, span(0, endLength - 3));
    }
  }
  p.end();
  track_->SetSliderImage(work);
}

void TsuiScrollBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceTrackBarAndButton();
}

void TsuiScrollBar::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) update();
}

void TsuiScrollBar::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  PlaceTrackBarAndButton();
}

void TsuiScrollBar::paintEvent(QPaintEvent*) {
  if (!colour_.isValid()) return;
  QPainter painter(this);
  painter.fillRect(rect(), colour_);
}

}  // namespace zelvar
