#pragma once
// The buffer tab's hex view: the paged dump of CodeBuffer with keyboard paging and byte editing,
// and the checksum line under it. The logic lives in app/core/buffer/BufferView.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "services/AppState.h"

namespace zelvar {

class HexView;

// The dump control: read-only text whose keys page through the buffer and overwrite bytes.
class DumpEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit DumpEdit(HexView* owner);
  // The line shown at the top.
  int firstVisibleLine() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // The wheel turns the view's scroll bar.
  void wheelEvent(QWheelEvent* event) override;

 private:
  HexView* owner_;
};

class HexView : public QWidget {
  Q_OBJECT
 public:
  explicit HexView(QWidget* parent = nullptr);

  // Redraws whatever view the view kind asks for; the PLD and SVF kinds go to `pldWindows`.
  void ShowBuffer();
  // Redraws the page at the view range's start (after the bytes there changed) and the checksum.
  void ShowRange();
  // The code area and the data area, from their starts.
  void DisplayCode();
  void DisplayEE();
  // Shows a search hit and selects its byte's digits.
  void ShowHit(qint64 offset);

  // Called by ShowBuffer with the view kind: closes the PLD and SVF windows and shows the one of
  // kind 1, 2 or 3 (the PLD piece installs it).
  std::function<void(int kind)> pldWindows;

  DumpEdit* dump() { return dump_; }
  QLabel* codeLabel() { return codeLabel_; }
  QLabel* dataLabel() { return dataLabel_; }
  // The scroll bar over the area the view walks, in rows of 16 bytes, and "go to address".
  QScrollBar* scrollBar() { return scroll_; }
  QLineEdit* goToEdit() { return goTo_; }
  // Shows the page holding the typed address (a word address in the 16-bit view).
  void GoTo(const QString& text);
  // The caret as line and column.
  int caretLine() const;
  int caretColumn() const;
  void setCaret(int line, int column, int selectLength = 0);

 signals:
  // A byte was edited (ProjectModified bit 0 is already set).
  void bufferEdited();

 private:
  friend class DumpEdit;
  bool HandleKey(QKeyEvent* event);  // true when the key was used up
  void DrawPage(bool append);
  void DrawRows(const std::vector<std::string>& rows, bool append);
  void WriteChecksum();
  bool TypeDigit(QChar c);
  void ReplaceChar(int line, int column, QChar c, const QColor& colour);
  // The area the scroll bar covers becomes the view range as it now stands.
  void TakeArea();
  void SyncScroll();
  void ScrollTo(int row);

  DumpEdit* dump_;
  QLabel* codeLabel_;
  QLabel* dataLabel_;
  qint64 firstRow_ = 0;  // the buffer offset of the first line shown
  QScrollBar* scroll_;
  QLineEdit* goTo_;
  AppState::Range area_;
  bool syncing_ = false;  // the program sets the bar: no redraw
};

}  // namespace zelvar
