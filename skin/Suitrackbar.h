#pragma once
// The skinned track bar: a bar picture across the control and a slider the user drags, pages
// with clicks (repeating while held) and moves with keys. TsuiScrollTrackBar is the moving part
// of a scroll bar. The arithmetic stands as plain functions so that it tests without a window.
#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "skin/Suimgr.h"
#include "skin/Suiprogressbar.h"

class QTimer;

namespace zelvar {

// The slider's offset along the travel for a position: (length - slider) x (position - min) div
// (max - min); 0 when max equals min.
int SliderTravelOffset(int length, int sliderLength, int min, int max, int position);
// The position for a slider offset (the mouse coordinate less the grab offset), rounded to
// nearest, plus min; 0 when the slider fills the whole length.
int PositionFromSliderOffset(int offset, int length, int sliderLength, int min, int max);
// The values that get a tick: min, every frequency-th value after it, and max; none when max
// equals min.
std::vector<int> TickValues(int min, int max, int frequency);
// One paging step of a click on the track: toward the click by `step`, never beyond the position
// at the click. `before` says whether the click lies before the slider.
int PageToward(int position, int step, int positionAtClick, bool before);

class TsuiTrackBar : public QWidget, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiTrackBar(QWidget* parent = nullptr);

  void SetMax(int max);
  int Max() const { return max_; }
  void SetMin(int min);
  int Min() const { return min_; }
  // Clamped into [Min, Max]; OnChange fires when the position differs from the last reported.
  void SetPosition(int position);
  int Position() const { return position_; }
  // Stored only for 0 <= value <= Max.
  void SetPageSize(int pageSize);
  int PageSize() const { return pageSize_; }
  void SetLineSize(int lineSize);
  int LineSize() const { return lineSize_; }
  void SetOrientation(TsuiProgressBarOrientation orientation);
  TsuiProgressBarOrientation Orientation() const { return orientation_; }
  void SetShowTick(bool show);
  bool ShowTick() const { return showTick_; }
  void SetTransparent(bool transparent);
  bool Transparent() const { return transparent_; }
  void SetFrequency(int frequency);
  int Frequency() const { return frequency_; }
  void SetBarImage(const QImage& picture);
  void SetSliderImage(const QImage& picture);
  const QImage& SliderImage() const { return slider_; }
  // The difference between the last two reported positions.
  int LastChange() const { return lastChange_; }
  // Where the slider stands in the control.
  QRect SliderRect() const { return QRect(sliderPos_, slider_.size()); }
  QPoint GetSliderPosFromPosition() const;
  std::vector<int> Ticks() const { return TickValues(min_, max_, frequency_); }

  // One tick of the repeat while the mouse is held on the track (every 100 ms): a vertical bar
  // steps by PageSize, a horizontal one by three times that, never beyond the mouse.
  void RepeatStep();
  bool Repeating() const { return repeat_ != nullptr; }

  std::function<void(TsuiTrackBar*)> OnChange;

 protected:
  void UIStyleChanged() override;
  virtual void UpdatePicture();
  // Whether the control keeps pictures it was given instead of the style's.
  virtual bool CustomPicture() const { return false; }
  virtual bool SUICanFocus() const { return true; }
  virtual bool SliderTransparent() const { return orientation_ == suiHorizontal; }
  void UpdateControl();
  void UpdateSlider();
  bool Horizontal() const { return orientation_ == suiHorizontal; }
  int Length() const { return Horizontal() ? width() : height(); }
  int SliderLength() const { return Horizontal() ? slider_.width() : slider_.height(); }
  bool sliderShown_ = true;

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SetSize();
  void StopRepeat();
  int PositionAt(const QPoint& point) const;
  void Report();

  QImage bar_;
  QImage barBuffer_;
  QImage slider_;
  QTimer* repeat_ = nullptr;
  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  int lastReported_ = 0;
  int lastChange_ = 0;
  int pageSize_ = 2;
  int lineSize_ = 1;
  int frequency_ = 1;
  int grabOffset_ = 0;
  bool dragging_ = false;
  bool showTick_ = true;
  bool transparent_ = false;
  bool sliderTransparent_ = true;
  TsuiProgressBarOrientation orientation_ = suiHorizontal;
  QPoint sliderPos_;
  QPoint lastMouse_;  // where the held mouse was last seen, for the repeat steps
};

// The moving part of a scroll bar: no focus, no pictures of its own, an opaque slider that takes
// the size of its picture.
class TsuiScrollTrackBar : public TsuiTrackBar {
  Q_OBJECT

 public:
  explicit TsuiScrollTrackBar(QWidget* parent = nullptr);
  bool SliderVisible() const { return sliderShown_; }
  void SetSliderVisible(bool visible);

 protected:
  bool CustomPicture() const override { return true; }
  bool SUICanFocus() const override { return false; }
  bool SliderTransparent() const override { return false; }
};

}  // namespace zelvar
