#pragma once
// The tool bar in the style's colours: its background, and its hot, pressed and checked buttons.
#include <QToolBar>

#include "skin/Suimgr.h"

class QToolButton;

namespace zelvar {

class TsuiToolBar : public QToolBar, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiToolBar(const QString& title, QWidget* parent = nullptr);

  void SetButtonColor(const QColor& colour);
  void SetButtonBorderColor(const QColor& colour);
  void SetButtonDownColor(const QColor& colour);
  QColor ButtonColor() const { return buttonColour_; }
  QColor ButtonBorderColor() const { return buttonBorderColour_; }
  QColor ButtonDownColor() const { return buttonDownColour_; }
  QColor Color() const { return colour_; }
  bool Transparent() const { return transparent_; }

 protected:
  void UIStyleChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void actionEvent(QActionEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A hot, pressed or checked button: a framed face with its icon and caption.
  void DrawButton(QToolButton* button, const QColor& face);
  QColor buttonColour_;
  QColor buttonBorderColour_;
  QColor buttonDownColour_;
  QColor colour_;
  QColor gradientStart_;
  QColor gradientEnd_;
  bool transparent_ = false;
};

}  // namespace zelvar
