#pragma once
// The framed group box: the base of the check and radio groups.
#include <QColor>
#include <QRect>
#include <string>

#include "skin/Suiimagepanel.h"

namespace zelvar {

class TsuiCustomGroupBox : public TsuiCustomPanel {
  Q_OBJECT

 public:
  explicit TsuiCustomGroupBox(QWidget* parent = nullptr);

  // Stores the caption and repaints, also when it is unchanged.
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }
  void SetBorderColor(const QColor& colour);
  QColor BorderColor() const { return borderColour_; }

  // The inner rectangle that items are laid out in.
  QRect GetClient() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateMargins();
  std::string caption_;
  QColor borderColour_ = QColor(0x80, 0x80, 0x80);
};

class TsuiGroupBox : public TsuiCustomGroupBox {
  Q_OBJECT

 public:
  explicit TsuiGroupBox(QWidget* parent = nullptr);
};

}  // namespace zelvar
