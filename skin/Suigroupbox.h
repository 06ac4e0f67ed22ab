#pragma once
// The framed group box: the base of the check and radio groups.
#include <QColor>
#include <QRect>
#include <string>

#include "skin/Suiimagepanel.h"

namespace zelvar {

class TsuiCustomGroupBox : public TsuiCustomPanel, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiCustomGroupBox(QWidget* parent = nullptr);

  // Stores the caption and repaints, also when it is unchanged.
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }
  void SetBorderColor(const QColor& colour);
  QColor BorderColor() const { return borderColour_; }
  void SetFontColor(const QColor& colour);
  QColor FontColor() const { return fontColour_; }

  // The inner rectangle that items are laid out in.
  QRect GetClient() const;

 protected:
  // Passes the style to the child controls, then takes the style's border and caption colours.
  virtual void UpdateUIStyle();
  void UIStyleChanged() override { UpdateUIStyle(); }
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateMargins();
  std::string caption_;
  QColor borderColour_ = QColor(0x80, 0x80, 0x80);
  QColor fontColour_ = Qt::black;
};

class TsuiGroupBox : public TsuiCustomGroupBox {
  Q_OBJECT

 public:
  explicit TsuiGroupBox(QWidget* parent = nullptr);
};

}  // namespace zelvar
