#pragma once
// The skinned scroll bar: a scroll track and two arrow buttons, with our own arithmetic (no
// QScrollBar). List boxes, grids and the memo attach one and keep it in step both ways.
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <functional>

#include "skin/Suimgr.h"
#include "skin/Suiprogressbar.h"

namespace zelvar {

class TsuiImageButton;
class TsuiScrollTrackBar;

// The thumb's length along a track of `trackLength` pixels: LineButton when set (at least 16),
// else PageSize per cent of the track, PageSize outside 10..100 counting as 10.
int ScrollThumbLength(int trackLength, int pageSize, int lineButton);

class TsuiScrollBar : public QWidget, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiScrollBar(QWidget* parent = nullptr);

  void SetMax(int max);
  int Max() const;
  void SetMin(int min);
  int Min() const;
  // Forwarded to the track only when it differs.
  void SetPosition(int position);
  int Position() const;
  void SetPageSize(int pageSize);
  int PageSize() const;
  // The same stored value as PageSize, without rebuilding the thumb.
  void SetLargeChange(int change);
  int LargeChange() const { return PageSize(); }
  void SetSmallChange(int change) { smallChange_ = std::clamp(change, 1, 32767); }
  int SmallChange() const { return smallChange_; }
  // The thumb's length in pixels; 0 for one proportional to PageSize. Longer than the free
  // track is ignored.
  void SetLineButton(int lineButton);
  int LineButton() const { return lineButton_; }
  void SetOrientation(TsuiProgressBarOrientation orientation);
  TsuiProgressBarOrientation Orientation() const { return orientation_; }
  void SetSliderVisible(bool visible);
  bool SliderVisible() const;
  int LastChange() const;
  // Raised by the track whenever its position changes, whoever changed it.
  void SetOnChange(std::function<void(TsuiScrollBar*)> onChange);

  TsuiScrollTrackBar* Track() const { return track_; }
  TsuiImageButton* IncreaseButton() const { return increase_; }
  TsuiImageButton* DecreaseButton() const { return decrease_; }
  QColor Color() const { return colour_; }

 protected:
  void UIStyleChanged() override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void UpdatePictures();
  void PlaceTrackBarAndButton();
  void UpdateSliderPic();
  int FreeTrackLength() const;

  TsuiScrollTrackBar* track_;
  TsuiImageButton* increase_;
  TsuiImageButton* decrease_;
  QImage thumbStart_, thumbGrip_, thumbEnd_;
  QColor colour_;
  TsuiProgressBarOrientation orientation_ = suiHorizontal;
  int smallChange_ = 1;
  int lineButton_ = 0;
  bool placing_ = false;
};

}  // namespace zelvar
