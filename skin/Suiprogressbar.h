#pragma once
// The progress bar with a percentage caption. Neither setter checks a range: a position below the
// minimum draws an empty bar, one above the maximum a full bar.
#include <QColor>
#include <QWidget>
#include <string>

namespace zelvar {

class TsuiProgressBar : public QWidget {
  Q_OBJECT

 public:
  explicit TsuiProgressBar(QWidget* parent = nullptr);

  void SetMax(int max);
  int Max() const { return max_; }
  void SetMin(int min);
  int Min() const { return min_; }
  void SetPosition(int position);
  int Position() const { return position_; }
  void StepIt() { SetPosition(position_ + 1); }
  void StepBy(int delta) { SetPosition(position_ + delta); }
  void SetShowCaption(bool show);
  bool ShowCaption() const { return showCaption_; }

  // 0 when max equals min, else the share of the range, truncated toward zero.
  int GetPercentFromPosition() const;
  // The filled part of `width` pixels.
  int GetWidthFromPosition(int width) const;
  // The caption: the percentage followed by "%".
  const std::string& Caption() const { return caption_; }

  QSize sizeHint() const override { return QSize(150, 12); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void UpdateProgress();
  int max_ = 100;
  int min_ = 0;
  int position_ = 50;
  bool showCaption_ = true;
  std::string caption_ = "50%";
};

}  // namespace zelvar
