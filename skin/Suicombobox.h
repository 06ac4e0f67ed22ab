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

// The drive box: the mount points of this system, the one that holds the working directory
// chosen at first.
class TsuiDriveComboBox : public TsuiCustomComboBox {
  Q_OBJECT

 public:
  explicit TsuiDriveComboBox(QWidget* parent = nullptr);
  // Reads the mount points again, keeping the choice where it still exists.
  void Refresh();
  // The chosen mount point.
  QString Drive() const { return currentText(); }
  // Chooses the mount point that holds `path` (the deepest one).
  void SetDrive(const QString& path);
  bool DroppedDown() const;
  void SetDroppedDown(bool down);
};

// The filter box: the descriptions of a filter ("Text files (*.txt)|*.txt|All files|*") and the
// chosen one's mask.
class TsuiFilterComboBox : public TsuiCustomComboBox {
  Q_OBJECT

 public:
  explicit TsuiFilterComboBox(QWidget* parent = nullptr);
  void SetFilter(const QString& filter);
  const QString& Filter() const { return filter_; }
  // The chosen description's mask; empty without a choice.
  QString Mask() const;
  bool DroppedDown() const;
  void SetDroppedDown(bool down);

 private:
  QString filter_;
};

}  // namespace zelvar
