#pragma once
// The status bar in the style's form colour with its own size grip.
#include <QStatusBar>

#include "skin/Suimgr.h"

namespace zelvar {

class TsuiStatusBar : public QStatusBar, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiStatusBar(QWidget* parent = nullptr);

  void SetPanelColor(const QColor& colour);
  QColor PanelColor() const { return panelColour_; }
  void SetSizeGrip(bool on);
  // The grip's corner (the lower right 16 x 16 pixels); empty while the window is maximized or
  // the grip is off.
  QRect GripRect() const;
  static constexpr int kGripSize = 16;

 protected:
  void UIStyleChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void KeepGripRoom();

  QColor panelColour_;
  bool sizeGrip_ = true;
};

}  // namespace zelvar
