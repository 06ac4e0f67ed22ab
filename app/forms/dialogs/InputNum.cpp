#include "app/forms/dialogs/InputNum.h"

#include <QGridLayout>
#include <QLabel>

#include "app/core/buffer/BufferTools.h"

namespace zelvar {

TIputDlg::TIputDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("输入数字："));
  Edit1 = new QLineEdit(this);
  Edit2 = new QLineEdit(this);
  Edit3 = new QLineEdit(this);
  Edit4 = new QLineEdit(this);
  OKBtn = new QPushButton(QString::fromUtf8("确 认"), this);
  CancelBtn = new QPushButton(QString::fromUtf8("放 弃"), this);
  auto* grid = new QGridLayout(this);
  const char* labels[] = {"十六进制数：", "十进制数：", "二进制数：", "浮点数："};
  QLineEdit* edits[] = {Edit1, Edit2, Edit3, Edit4};
  for (int i = 0; i < 4; ++i) {
    grid->addWidget(new QLabel(QString::fromUtf8(labels[i]), this), i, 0);
    grid->addWidget(edits[i], i, 1);
    connect(edits[i], &QLineEdit::textEdited, this, [this, i] { lastField = i + 1; });
  }
  grid->addWidget(OKBtn, 4, 0);
  grid->addWidget(CancelBtn, 4, 1);
  connect(OKBtn, &QPushButton::clicked, this, [this] {
    OkClick();
    accept();
  });
  connect(CancelBtn, &QPushButton::clicked, this, [this] {
    Refresh();
    reject();
  });
  Refresh();
}

void TIputDlg::Refresh() {
  const NumberTexts t = NumberToTexts(value);
  Edit1->setText(QString::fromStdString(t.hex));
  Edit2->setText(QString::fromStdString(t.decimal));
  Edit3->setText(QString::fromStdString(t.binary));
  Edit4->setText(QString::fromStdString(t.single));
}

void TIputDlg::OkClick() {
  QLineEdit* edits[] = {Edit1, Edit1, Edit2, Edit3, Edit4};
  const int field = lastField >= 0 && lastField <= 4 ? lastField : 0;
  if (const auto v = TextToNumber(field, edits[field]->text().toStdString())) value = *v;
  Refresh();
}

}  // namespace zelvar
