#pragma once
// The buffer tab's hex view: the paged dump of CodeBuffer with keyboard paging and byte editing,
// and the checksum line under it. The logic lives in app/core/buffer/BufferView.
#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace zelvar {

class HexView;

// The dump control: read-only text whose keys page through the buffer and overwrite bytes.
class DumpEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit DumpEdit(HexView* owner);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

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

  DumpEdit* dump_;
  QLabel* codeLabel_;
  QLabel* dataLabel_;
  qint64 firstRow_ = 0;  // the buffer offset of the first line shown
};

}  // namespace zelvar
