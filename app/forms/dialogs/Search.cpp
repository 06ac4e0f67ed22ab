#include "app/forms/dialogs/Search.h"

#include <QFormLayout>

#include "app/core/buffer/BufferTools.h"
#include "app/forms/widgets/HexView.h"
#include "services/Messages.h"
#include "skin/Suiedit.h"
#include "skin/Suiform.h"

namespace zelvar {

TSearchTool::TSearchTool(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  Edit1 = new TsuiEdit(this);
  Edit1->setMaxLength(static_cast<int>(kMaxPattern));
  Edit2 = new TsuiEdit(this);
  Edit2->setMaxLength(static_cast<int>(2 * kMaxPattern));
  FindNext = new TsuiButton(this);
  auto* form = new QFormLayout(this);
  form->addRow("ASCII", Edit1);
  form->addRow("HEX", Edit2);
  form->addRow(FindNext);
  connect(Edit1, &QLineEdit::textEdited, this, [this] { Edit1KeyUp(); });
  connect(Edit2, &QLineEdit::textEdited, this, [this] { Edit2KeyUp(); });
  connect(FindNext, &QPushButton::clicked, this, [this] { FindNextClick(); });
  SetFormUIStyle(this, WinXP);
  // The edits as the form stores them: MacOS with a grey border, whatever the frame wears.
  for (TsuiEdit* edit : findChildren<TsuiEdit*>()) {
    edit->SetUIStyle(MacOS);
    edit->SetBorderColor(QColor(0x7F, 0x7F, 0x7F));
  }
}

void TSearchTool::Open() {
  FindNext->SetCaption2(LocalText("Find next*查找"));
  show();
  raise();
}

void TSearchTool::Edit1KeyUp() {
  Edit2->setText(QString::fromStdString(AsciiToHexText(Edit1->text().toLatin1().toStdString())));
}

void TSearchTool::Edit2KeyUp() {
  const auto ascii = BytesToAsciiText(HexTextToBytes(Edit2->text().toStdString()));
  Edit1->setText(QString::fromLatin1(ascii.data(), static_cast<int>(ascii.size())));
}

void TSearchTool::FindNextClick() {
  const auto hit = zelvar::FindNext(HexTextToBytes(Edit2->text().toStdString()));
  if (hit && view_) view_->ShowHit(*hit);
}

}  // namespace zelvar
