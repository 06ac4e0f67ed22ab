#pragma once
// The skinned combo box: the platform combo box with a two-pixel frame, a drop button in the
// style's look, and a framed drop-down list. Read and set through its item index.
#include <QComboBox>
#include <string>

#include "skin/Suimgr.h"

namespace zelvar {

class TsuiCustomComboBox : public QComboBox, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiCustomComboBox(QWidget* parent = nullptr);

  // The selected item, -1 when none.
  int ItemIndex() const { return currentIndex(); }
  void SetItemIndex(int index) { setCurrentIndex(index); }
  void AddItem(const std::string& text);
  std::string ItemText(int index) const;
  int ItemCount() const { return count(); }

  void SetBorderColor(const QColor& colour);
  void SetButtonColor(const QColor& colour);
  void SetArrowColor(const QColor& colour);
  QColor BorderColor() const { return borderColour_; }
  QColor ButtonColor() const { return buttonColour_; }
  QColor ArrowColor() const { return arrowColour_; }
  // The drop button's rectangle.
  QRect ButtonRect() const;

  void showPopup() override;
  void hidePopup() override;

 protected:
  void UIStyleChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void DrawButton(QPainter& painter);
  void DrawArrow(QPainter& painter, int x, int y);
  QColor borderColour_;
  QColor buttonColour_;
  QColor arrowColour_ = Qt::black;
};

class TsuiComboBox : public TsuiCustomComboBox {
  Q_OBJECT

 public:
  explicit TsuiComboBox(QWidget* parent = nullptr);
};

}  // namespace zelvar
