#include "app/forms/widgets/HexView.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTextBlock>
#include <QVBoxLayout>
#include <utility>

#include "app/core/buffer/BufferView.h"
#include "services/AppState.h"

namespace zelvar {

DumpEdit::DumpEdit(HexView* owner) : QPlainTextEdit(owner), owner_(owner) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void DumpEdit::keyPressEvent(QKeyEvent* event) {
  if (!owner_->HandleKey(event)) QPlainTextEdit::keyPressEvent(event);
  owner_->SyncScroll();
}

int DumpEdit::firstVisibleLine() const {
  return firstVisibleBlock().blockNumber();
}

void DumpEdit::wheelEvent(QWheelEvent* event) {
  QCoreApplication::sendEvent(owner_->scroll_, event);
}

HexView::HexView(QWidget* parent) : QWidget(parent) {
  dump_ = new DumpEdit(this);
  // The view's own bar walks the whole area, not only the rows drawn so far.
  dump_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_ = new QScrollBar(Qt::Vertical, this);
  scroll_->setObjectName("HexScroll");
  scroll_->setPageStep(kPageBytes / kRowBytes);
  codeLabel_ = new QLabel(this);
  dataLabel_ = new QLabel(this);
  goTo_ = new QLineEdit(this);
  goTo_->setObjectName("GoToAddress");
  goTo_->setMaximumWidth(goTo_->fontMetrics().horizontalAdvance("0000000") + 16);
  auto* dumpRow = new QHBoxLayout;
  dumpRow->addWidget(dump_, 1);
  dumpRow->addWidget(scroll_);
  // "Go to" stands beside the code checksum line: a row of its own would leave the dump short of
  // a whole page at the default window size.
  auto* codeRow = new QHBoxLayout;
  codeRow->addWidget(codeLabel_, 1);
  codeRow->addWidget(new QLabel("Go to:", this));
  codeRow->addWidget(goTo_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(dumpRow, 1);
  layout->addLayout(codeRow);
  layout->addWidget(dataLabel_);
  // The checksum line follows every edited byte.
  connect(this, &HexView::bufferEdited, this, &HexView::WriteChecksum);
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int row) {
    if (!syncing_) ScrollTo(row);
  });
  connect(goTo_, &QLineEdit::returnPressed, this, [this] { GoTo(goTo_->text()); });
}

void HexView::TakeArea() {
  area_ = gApp.ViewRange;
  SyncScroll();
}

void HexView::SyncScroll() {
  const ViewScroll s =
      ScrollOf(area_, firstRow_ + static_cast<qint64>(dump_->firstVisibleLine()) * kRowBytes);
  syncing_ = true;
  scroll_->setMaximum(s.maximum);
  scroll_->setValue(s.value);
  syncing_ = false;
}

void HexView::ScrollTo(int row) {
  const int line = caretLine() - dump_->firstVisibleLine();
  const int column = caretColumn();
  gApp.ViewRange = {static_cast<std::int32_t>(area_.start + qint64{row} * kRowBytes), area_.end};
  DrawPage(false);
  setCaret(std::max(line, 0), column);
}

void HexView::GoTo(const QString& text) {
  const auto offset = GoToOffset(text.toStdString(), IsWordView(gApp.InfoRecord[3]));
  if (!offset || IsWindowView(gApp.InfoRecord[3])) return;
  ShowHit(*offset);
  area_.start = std::min(area_.start, gApp.ViewRange.start);
  area_.end = std::max(area_.end, gApp.ViewRange.end);
  SyncScroll();
  dump_->setFocus();
}

int HexView::caretLine() const {
  return dump_->textCursor().blockNumber();
}
int HexView::caretColumn() const {
  return dump_->textCursor().positionInBlock();
}

void HexView::setCaret(int line, int column, int selectLength) {
  const QTextBlock block = dump_->document()->findBlockByNumber(
      std::clamp(line, 0, dump_->document()->blockCount() - 1));
  QTextCursor c(block);
  const int length = block.length() - 1;
  c.setPosition(block.position() + std::clamp(column, 0, length));
  if (selectLength > 0)
    c.setPosition(block.position() + std::clamp(column + selectLength, 0, length),
                  QTextCursor::KeepAnchor);
  dump_->setTextCursor(c);
}

void HexView::DrawPage(bool append) {
  DrawRows(PageRows(gApp.CodeBuffer, gApp.ViewRange.start, gApp.ViewRange.end,
                    IsWordView(gApp.InfoRecord[3])),
           append);
}

void HexView::DrawRows(const std::vector<std::string>& rows, bool append) {
  QStringList lines;
  for (const auto& r : rows) lines << QString::fromLatin1(r.data(), static_cast<int>(r.size()));
  // Edited bytes are drawn red; a redraw starts plain again instead of taking the caret's colour.
  dump_->setCurrentCharFormat(QTextCharFormat());
  if (!append) {
    firstRow_ = gApp.ViewRange.start;
    dump_->setPlainText(lines.join('\n'));
    SyncScroll();
    return;
  }
  if (lines.isEmpty()) return;
  QTextCursor end(dump_->document());
  end.movePosition(QTextCursor::End);
  end.insertText(
      (dump_->document()->isEmpty() ? QString() : QStringLiteral("\n")) + lines.join('\n'),
      QTextCharFormat());
}

void HexView::WriteChecksum() {
  const ChecksumLine line = ShowBufferChecksum();
  if (!line.shown) return;
  codeLabel_->setText(QString::fromStdString(line.codeLabel));
  dataLabel_->setText(QString::fromStdString(line.dataLabel));
}

void HexView::ShowBuffer() {
  dump_->clear();
  const int kind = gApp.InfoRecord[3];
  if (pldWindows) pldWindows(kind);
  if (IsWindowView(kind)) return;
  DrawRows(PrepareHexView(), false);
  TakeArea();
  setCaret(0, 8);
  WriteChecksum();
  dump_->setVisible(true);
  dump_->setFocus();
}

void HexView::ShowRange() {
  DrawPage(false);
  WriteChecksum();
}

void HexView::DisplayCode() {
  ViewCodeArea();
  area_ = gApp.ViewRange;
  DrawPage(false);
}

void HexView::DisplayEE() {
  if (!ViewDataArea()) return;
  area_ = gApp.ViewRange;
  DrawPage(false);
}

void HexView::ShowHit(qint64 offset) {
  const qint64 shownEnd = firstRow_ + static_cast<qint64>(dump_->document()->blockCount()) * 16;
  if (offset < firstRow_ || offset >= shownEnd || dump_->document()->isEmpty()) {
    gApp.ViewRange.start = static_cast<std::int32_t>(offset & ~qint64{kPageBytes - 1});
    // The hit's whole page is drawn even when it lies past the range the view walked; the
    // range ends at its last address, as the scroll bar counts it.
    gApp.ViewRange.end = std::max<std::int32_t>(
        gApp.ViewRange.end,
        std::min<std::int32_t>(gApp.ViewRange.start + kPageBytes - 1, kCodeBufferSize - 1));
    DrawPage(false);
  }
  const qint64 rel = offset - firstRow_;
  setCaret(static_cast<int>(rel / 16),
           ByteDigitColumn(IsWordView(gApp.InfoRecord[3]), static_cast<int>(rel % 16)), 2);
}

void HexView::ReplaceChar(int line, int column, QChar c, const QColor& colour) {
  const QTextBlock block = dump_->document()->findBlockByNumber(line);
  QTextCursor cur(block);
  cur.setPosition(block.position() + column);
  cur.setPosition(block.position() + column + 1, QTextCursor::KeepAnchor);
  QTextCharFormat format;
  format.setForeground(colour);
  cur.insertText(QString(c), format);
}

bool HexView::TypeDigit(QChar c) {
  if (gApp.InfoRecord[3] >= 9) return false;
  const int line = caretLine();
  const std::string row = dump_->document()->findBlockByNumber(line).text().toStdString();
  const ByteEdit e = EditRowDigit(row, caretColumn(), c.toLatin1());
  if (!CommitByteEdit(e)) {
    QTextCursor cur = dump_->textCursor();
    cur.clearSelection();
    dump_->setTextCursor(cur);
    return false;
  }
  ReplaceChar(line, e.digitColumn, QChar(e.row[e.digitColumn]), Qt::red);
  ReplaceChar(line, e.charColumn, QChar(e.row[e.charColumn]), Qt::red);
  setCaret(line, e.digitColumn + 1);
  emit bufferEdited();
  return true;
}

bool HexView::HandleKey(QKeyEvent* event) {
  static constexpr std::pair<int, ViewKey> kKeys[] = {
      {Qt::Key_Down, ViewKey::Down}, {Qt::Key_PageDown, ViewKey::PageDown},
      {Qt::Key_Up, ViewKey::Up},     {Qt::Key_PageUp, ViewKey::PageUp},
      {Qt::Key_Home, ViewKey::Home}, {Qt::Key_End, ViewKey::End}};
  ViewKey key = ViewKey::Other;
  for (const auto& [qtKey, viewKey] : kKeys)
    if (event->key() == qtKey) key = viewKey;
  if (key != ViewKey::Other) {
    const int line = caretLine();
    const int column = caretColumn();
    switch (PageKey(key, line, dump_->document()->blockCount())) {
      case PageAction::AppendNext:
        DrawPage(true);
        setCaret(line, column);
        break;
      case PageAction::ShowPrevious:
        DrawPage(false);
        setCaret(line + 3, column);
        break;
      case PageAction::Redraw:
        area_ = gApp.ViewRange;
        DrawPage(false);
        break;
      case PageAction::None:
        break;
    }
    return false;  // the key's own movement follows
  }
  const QString text = event->text();
  if (text.size() == 1 && text[0].isPrint()) {
    TypeDigit(text[0]);
    return true;
  }
  return false;
}

}  // namespace zelvar
