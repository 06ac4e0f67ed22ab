#include "app/forms/dialogs/Filldlg.h"

#include <QGridLayout>

#include "app/core/buffer/BufferTools.h"
#include "services/Messages.h"
#include "skin/Suiedit.h"
#include "skin/Suiform.h"

namespace zelvar {
namespace {
QString Local(const char* text) {
  return QString::fromStdString(LocalText(text));
}
void SetButton(TsuiButton* button, const char* text) {
  button->SetCaption2(LocalText(text));
}
}  // namespace

TFillDlg1::TFillDlg1(QWidget* parent) : QDialog(parent) {
  Label1 = new QLabel(this);
  Label2 = new QLabel(this);
  Label3 = new QLabel(this);
  Edit1 = new TsuiEdit(this);
  Edit1->setText("0000");
  Edit2 = new TsuiEdit(this);
  Edit2->setText("ffff");
  Edit3 = new TsuiEdit(this);
  Edit3->setText("ff");
  suiButton1 = new TsuiButton(this);
  suiButton2 = new TsuiButton(this);
  auto* grid = new QGridLayout(this);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(Edit1, 0, 1);
  grid->addWidget(Label2, 1, 0);
  grid->addWidget(Edit2, 1, 1);
  grid->addWidget(Label3, 2, 0);
  grid->addWidget(Edit3, 2, 1);
  grid->addWidget(suiButton1, 3, 0);
  grid->addWidget(suiButton2, 3, 1);
  connect(suiButton1, &QPushButton::clicked, this, [this] { suiButton1Click(); });
  connect(suiButton2, &QPushButton::clicked, this, &QDialog::reject);
  SetFormUIStyle(this, WinXP);
  // The edits as the form stores them: MacOS with a grey border, whatever the frame wears.
  for (TsuiEdit* edit : findChildren<TsuiEdit*>()) {
    edit->SetUIStyle(MacOS);
    edit->SetBorderColor(QColor(0x7F, 0x7F, 0x7F));
  }
}

void TFillDlg1::SetTexts() {
  Label1->setText(Local("Start:*起始地址:"));
  Label2->setText(Local("End :*终止地址:"));
  if (FillMode()) {
    Label3->setText(Local("Value:*填充值:"));
    SetButton(suiButton1, "OK*确认");
    SetButton(suiButton2, "Cancel*放弃");
    Edit3->setText("FF");
  } else {
    SetButton(suiButton1, "Sum*计算和");
    SetButton(suiButton2, "Exit*退出");
    Label3->setText(Local("Sum:*检查和:"));
  }
}

void TFillDlg1::suiButton1Click() {
  const std::string start = Edit1->text().toStdString();
  const std::string end = Edit2->text().toStdString();
  if (FillMode()) {
    // A range refused as out of range keeps the dialog open for a correction.
    if (FillRange(start, end, Edit3->text().toStdString())) accept();
    return;
  }
  if (const auto sum = SumRange(start, end)) Edit3->setText(QString::fromStdString(*sum));
}

void TFillDlg1::RunFill() {
  setWindowTitle("Fill");
  SetTexts();
  exec();
}

void TFillDlg1::RunSum() {
  setWindowTitle("Sum");
  SetTexts();
  exec();
}

}  // namespace zelvar
