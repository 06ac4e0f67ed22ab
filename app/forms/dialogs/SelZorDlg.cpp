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
  // The group places its items itself: it is given room for every item's own size.
  const int columns = 2;
  const int rows = (RadioGroup1->ItemCount() + columns - 1) / columns;
  QSize item;
  for (int i = 0; i < RadioGroup1->ItemCount(); ++i)
    item = item.expandedTo(RadioGroup1->Button(i)->sizeHint());
  const QRect client = RadioGroup1->GetClient();
  const int frame = RadioGroup1->height() - client.height() + RadioGroup1->TopMargin();
  RadioGroup1->setMinimumSize(columns * (item.width() + 16) + 10,
                              frame + rows * (item.height() + 8) + 8);
  layout->addWidget(RadioGroup1);
  ButtonOk = new TsuiButton(suiForm1);
  ButtonOk->setObjectName("ButtonOk");
  ButtonOk->SetCaption2("OK");
  layout->addWidget(ButtonOk);
  connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
  SetFormUIStyle(this, WinXP);
  // The frame filled the dialog with its own layout: the dialog grows to what the items need.
  if (QLayout* outer = this->layout()) outer->setSizeConstraint(QLayout::SetMinimumSize);
  adjustSize();
}

}  // namespace zelvar
