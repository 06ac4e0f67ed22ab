#pragma once
// The skinned list boxes: the list box (drawing its own items with its selection and disabled
// colours), the file list and the directory list. Each draws a border in the style's control
// border colour and can take a skinned scroll bar (VScrollBar), which it places over its own
// vertical bar and keeps in step both ways.
#include <QListWidget>
#include <QPointer>
#include <QString>

#include "skin/Suimgr.h"

namespace zelvar {

class TsuiScrollBar;

// The skinned thumb's length for a list's own bar: as long as the native thumb would be on a
// track of `trackLength` pixels (the page's share of the whole range).
int ListThumbLength(int trackLength, int minimum, int maximum, int pageStep);

class TsuiListBox : public QListWidget, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiListBox(QWidget* parent = nullptr);
  ~TsuiListBox() override;

  void SetBorderColor(const QColor& colour);
  QColor BorderColor() const { return borderColour_; }
  void SetAlignment(Qt::Alignment alignment);
  Qt::Alignment Alignment() const { return alignment_; }
  void SetSelectedColor(const QColor& colour);
  QColor SelectedColor() const { return selectedColour_; }
  void SetSelectedTextColor(const QColor& colour);
  QColor SelectedTextColor() const { return selectedTextColour_; }
  void SetDisabledTextColor(const QColor& colour);
  QColor DisabledTextColor() const { return disabledTextColour_; }
  void SetShowFocusRect(bool show);
  bool ShowFocusRect() const { return showFocusRect_; }

  // Attaches a scroll bar on the same parent; the one before goes back to neutral values.
  void SetVScrollBar(TsuiScrollBar* bar);
  TsuiScrollBar* VScrollBar() const { return vScrollBar_.data(); }
  // List to bar: shown and sized like the native bar, hidden when that is not usable, disabled
  // with the list; range and position copied.
  void UpdateScrollBars();
  void UpdateScrollBarsPos();
  // The height of a text wrapped to nothing: its width for `width` <= 0, else the line's height,
  // at most 255.
  int MeasureString(const QString& text, int width) const;

 protected:
  void UIStyleChanged() override;
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void OnVScrollBarChange();
  QColor borderColour_;
  Qt::Alignment alignment_ = Qt::AlignLeft;
  QColor selectedColour_;
  QColor selectedTextColour_;
  QColor disabledTextColour_;
  bool showFocusRect_ = true;
  bool updating_ = false;
  QPointer<TsuiScrollBar> vScrollBar_;
};

// The files of a directory that match a mask, sorted by name.
class TsuiFileListBox : public TsuiListBox {
  Q_OBJECT

 public:
  explicit TsuiFileListBox(QWidget* parent = nullptr);
  void SetDirectory(const QString& directory);
  const QString& Directory() const { return directory_; }
  void SetMask(const QString& mask);
  const QString& Mask() const { return mask_; }
  void Update();

 private:
  QString directory_;
  QString mask_ = "*.*";
};

// A directory's path, one level a line from the root, then its subdirectories.
class TsuiDirectoryListBox : public TsuiListBox {
  Q_OBJECT

 public:
  explicit TsuiDirectoryListBox(QWidget* parent = nullptr);
  void SetDirectory(const QString& directory);
  const QString& Directory() const { return directory_; }
  // The directory a line names (a level of the path or a subdirectory).
  QString DirectoryAt(int row) const;

 private:
  QString directory_;
  QStringList paths_;
};

}  // namespace zelvar
