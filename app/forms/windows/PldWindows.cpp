#include "app/forms/windows/PldWindows.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPointer>
#include <QTextBlock>
#include <QVBoxLayout>
#include <initializer_list>

#include "app/core/pld/PldFiles.h"
#include "app/forms/dialogs/InputDlg.h"
#include "services/Jedec.h"
#include "services/PldDocuments.h"

namespace zelvar {

namespace {

// The windows belong to the main window that opened them and go with it: guarded pointers, so a
// later main window makes its own instead of reaching a deleted one.
QPointer<TPldFileW> PldFileW;
QPointer<TLargePldFileW> LargePldFileW;
QPointer<TSvfFileW> SvfFileW;

void Place(QWidget* w, QWidget* main) {
  w->setWindowFlag(Qt::Tool);
  w->resize(540, 260);
  if (main) w->move(main->x() + 137, main->y() + 102);
}

QPlainTextEdit* TextControl(QWidget* owner) {
  auto* edit = new QPlainTextEdit(owner);
  edit->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font(QStringLiteral("Monospace"));
  font.setStyleHint(QFont::TypeWriter);
  edit->setFont(font);
  return edit;
}

QString Joined(const std::vector<std::string>& lines) {
  QStringList list;
  for (const auto& l : lines) list << QString::fromStdString(l);
  return list.join('\n');
}

int CaretLine(const QPlainTextEdit* e) {
  return e->textCursor().blockNumber();
}

}  // namespace

TPldFileW::TPldFileW(QWidget* parent)
    : QWidget(parent),
      RichEdit1(TextControl(this)),
      Edit1(new QLineEdit(this)),
      Edit2(new QLineEdit(this)),
      FuseCount(new QLabel(this)) {
  Edit1->setReadOnly(true);
  Edit2->setReadOnly(true);
  auto* bar = new QHBoxLayout;
  bar->addWidget(new QLabel(QStringLiteral("Fuse:"), this));
  bar->addWidget(Edit1);
  bar->addWidget(new QLabel(QStringLiteral("Checksum:"), this));
  bar->addWidget(Edit2);
  bar->addWidget(new QLabel(QStringLiteral("QF:"), this));
  bar->addWidget(FuseCount);
  auto* menu = new QMenuBar(this);
  Fill1 = menu->addAction(QStringLiteral("Fill"));
  MaxAddr1 = menu->addAction(QStringLiteral("MaxAddr"));
  connect(Fill1, &QAction::triggered, this, [this] { FillClick(); });
  connect(MaxAddr1, &QAction::triggered, this, [this] { MaxAddrClick(); });
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu);
  layout->addWidget(RichEdit1);
  layout->addLayout(bar);
  RichEdit1->setReadOnly(true);
  RichEdit1->installEventFilter(this);
  connect(RichEdit1, &QPlainTextEdit::cursorPositionChanged, this, [this] { CaretMoved(); });
}

void TPldFileW::ShowFuseRows() {
  setWindowTitle(QString::fromStdString(gPld.fuse.caption));
  RichEdit1->setPlainText(Joined(zelvar::ShowFuseRows()));
  QTextCursor c = RichEdit1->textCursor();
  c.movePosition(QTextCursor::Start);
  c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, kFuseColumn);
  RichEdit1->setTextCursor(c);
  Edit2->setText(QString::fromStdString(FuseWindowChecksum()));
  FuseCount->setText(QString::fromStdString(FuseWindowCount()));
  show();
}

void TPldFileW::ShowNumbers(bool fill) {
  if (!numbers) numbers = new TInputHexDlg(this);
  for (QWidget* w : std::initializer_list<QWidget*>{numbers->Edit1, numbers->Edit3, numbers->Label1,
                                                    numbers->Label3}) {
    w->setEnabled(fill);
  }
  numbers->show();
}

void TPldFileW::CaretMoved() {
  const QTextCursor c = RichEdit1->textCursor();
  Edit1->setText(QString::fromStdString(FuseCaretText(c.blockNumber(), c.positionInBlock())));
}

bool TPldFileW::eventFilter(QObject* watched, QEvent* event) {
  if (watched != RichEdit1 || event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const QString text = key->text().toUpper();
  if (text.size() == 1 && (text[0] == '0' || text[0] == '1')) {
    QTextCursor c = RichEdit1->textCursor();
    if (TypeFuse(c.blockNumber(), c.positionInBlock(), text[0].toLatin1())) {
      QTextCharFormat red;
      red.setForeground(Qt::red);
      c.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor);
      c.insertText(text, red);
      Edit2->setText(QString::fromStdString(FuseWindowChecksum()));
    }
    return true;
  }
  return false;
}

TLargePldFileW::TLargePldFileW(QWidget* parent)
    : QWidget(parent),
      RichEdit1(TextControl(this)),
      Panel1(new QLabel(this)),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)) {
  auto* bar = new QHBoxLayout;
  bar->addWidget(Panel1);
  bar->addWidget(Label1);
  bar->addWidget(Label2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(RichEdit1);
  layout->addLayout(bar);
  RichEdit1->setReadOnly(true);
  connect(RichEdit1, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    const int line = CaretLine(RichEdit1);
    Label1->setText(QString::fromStdString(JedecLineText(line)));
    Label2->setText(QString::fromStdString(JedecAddressText(line)));
  });
}

void TLargePldFileW::ShowText() {
  setWindowTitle(QString::fromStdString(gPld.jedec.caption));
  RichEdit1->setPlainText(Joined(gPld.jedec.lines));
  Panel1->setText(QString::fromStdString(gPld.jedec.result));
  show();
}

TSvfFileW::TSvfFileW(QWidget* parent)
    : QWidget(parent), RichEdit1(TextControl(this)), Panel1(new QLabel(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(RichEdit1);
  layout->addWidget(Panel1);
  RichEdit1->setReadOnly(true);
  connect(RichEdit1, &QPlainTextEdit::cursorPositionChanged, this,
          [this] { Panel1->setText(QStringLiteral("Line: %1").arg(CaretLine(RichEdit1) + 1)); });
}

void TSvfFileW::ShowText() {
  setWindowTitle(QString::fromStdString(gPld.svf.caption));
  RichEdit1->setPlainText(Joined(gPld.svf.lines));
  show();
}

void ShowPldWindow(QWidget* mainWindow, int kind) {
  for (QWidget* w :
       std::initializer_list<QWidget*>{PldFileW.data(), LargePldFileW.data(), SvfFileW.data()}) {
    if (w) w->hide();
  }
  if (kind == 1 && gPld.fuse.exists) {
    if (!PldFileW) Place(PldFileW = new TPldFileW(mainWindow), mainWindow);
    PldFileW->ShowFuseRows();
  } else if (kind == 2 && gPld.jedec.exists) {
    if (!LargePldFileW) Place(LargePldFileW = new TLargePldFileW(mainWindow), mainWindow);
    LargePldFileW->ShowText();
  } else if (kind == 3 && gPld.svf.exists) {
    if (!SvfFileW) Place(SvfFileW = new TSvfFileW(mainWindow), mainWindow);
    SvfFileW->ShowText();
  }
}

}  // namespace zelvar
