#include "app/forms/dialogs/SelZorDlg.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/core/catalogue/DeviceList.h"
#include "skin/Suibutton.h"
#include "skin/Suiform.h"
#include "skin/Suiradiogroup.h"

namespace zelvar {

TSelZorDlg::TSelZorDlg(QWidget* parent) : QDialog(parent), suiForm1(new TsuiForm(this)) {
  setObjectName("SelZorDlg");
  setModal(true);
  suiForm1->setObjectName("suiForm1");
  suiForm1->SetCaption("ZOR Programmer Modal");
  auto* layout = new QVBoxLayout(suiForm1);
  layout->addWidget(new QLabel(QString::fromUtf8("脱机运行："), suiForm1));
  RadioGroup1 = new TsuiRadioGroup(suiForm1);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup1->SetColumns(2);
  for (std::string_view item : kOfflineModels) RadioGroup1->AddItem(std::string(item));
  RadioGroup1->SetItemIndex(kOfflineDefaultItem);
  RadioGroup1->setMinimumHeight(60);
  layout->addWidget(RadioGroup1);
  ButtonOk = new TsuiButton(suiForm1);
  ButtonOk->setObjectName("ButtonOk");
  ButtonOk->SetCaption2("OK");
  layout->addWidget(ButtonOk);
  connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
  SetFormUIStyle(this, WinXP);
}

}  // namespace zelvar
