#pragma once
// The progress bar with a percentage caption. Neither setter checks a range: a position below the
// minimum draws an empty bar, one above the maximum a full bar.
#include <QColor>
#include <QImage>
#include <QWidget>
#include <array>
#include <string>

#include "skin/Suimgr.h"

namespace zelvar {

enum TsuiProgressBarOrientation { suiHorizontal = 0, suiVertical = 1 };

class TsuiProgressBar : public QWidget, public TsuiStyled {
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
  void SetSmartShowCaption(bool smart);
  void SetCaptionColor(const QColor& colour);
  void SetOrientation(TsuiProgressBarOrientation orientation);
  // The picture of the filled part, the colour of the rest and of the frame; the style sets all
  // three.
  void SetPicture(const QImage& picture);
  void SetColor(const QColor& colour);
  void SetBorderColor(const QColor& colour);
  QColor Color() const { return colour_; }
  QColor BorderColor() const { return borderColour_; }

  // 0 when max equals min, else the share of the range, truncated toward zero.
  int GetPercentFromPosition() const;
  // The filled part of `width` pixels.
  int GetWidthFromPosition(int width) const;
  // The caption: the percentage followed by "%".
  const std::string& Caption() const { return caption_; }

  QSize sizeHint() const override { return QSize(150, 12); }

 protected:
  void UIStyleChanged() override { UpdatePicture(); }
  void paintEvent(QPaintEvent* event) override;

 private:
  void UpdateProgress();
  void UpdatePicture();
  // Whether a file theme gave the start cap, unfilled part and end cap.
  bool HasPieces() const;
  int max_ = 100;
  int min_ = 0;
  int position_ = 50;
  bool showCaption_ = true;
  bool smartShowCaption_ = false;
  TsuiProgressBarOrientation orientation_ = suiHorizontal;
  QImage picture_;
  std::array<QImage, 3> pieces_;
  QColor colour_;
  QColor borderColour_ = Qt::black;
  QColor captionColour_ = Qt::black;
  std::string caption_ = "50%";
};

}  // namespace zelvar
