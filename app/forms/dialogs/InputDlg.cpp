#include "app/forms/dialogs/InputDlg.h"

#include <QGridLayout>
#include <QLabel>

namespace zelvar {

TInputHexDlg::TInputHexDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("填充数据"));
  Edit1 = new QLineEdit("0000", this);
  Edit2 = new QLineEdit("ffff", this);
  Edit3 = new QLineEdit("ff", this);
  OKBtn = new QPushButton(QString::fromUtf8("确  认"), this);
  CancelBtn = new QPushButton(QString::fromUtf8("放  弃"), this);
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QString::fromUtf8("(地址和数据都使用十六进制)"), this), 0, 0, 1, 2);
  Label1 = new QLabel(QString::fromUtf8("起始地址:"), this);
  Label3 = new QLabel(QString::fromUtf8("填充数据:"), this);
  grid->addWidget(Label1, 1, 0);
  grid->addWidget(Edit1, 1, 1);
  grid->addWidget(new QLabel(QString::fromUtf8("终止地址:"), this), 2, 0);
  grid->addWidget(Edit2, 2, 1);
  grid->addWidget(Label3, 3, 0);
  grid->addWidget(Edit3, 3, 1);
  grid->addWidget(OKBtn, 4, 0);
  grid->addWidget(CancelBtn, 4, 1);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OkClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelClick(); });
}

void TInputHexDlg::OkClick() {
  AcceptThreeNumbers(numbers, Edit1->text().toStdString(), Edit2->text().toStdString(),
                     Edit3->text().toStdString());
  accept();
}

void TInputHexDlg::CancelClick() {
  numbers.accepted = 0;
  reject();
}

}  // namespace zelvar
