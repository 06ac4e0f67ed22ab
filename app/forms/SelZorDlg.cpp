#include "app/forms/SelZorDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/core/catalogue/DeviceList.h"

namespace zelvar {

TSelZorDlg::TSelZorDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("SelZorDlg");
  setWindowTitle("ZOR Programmer Modal");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8("脱机运行："), this));
  auto* group = new QGroupBox(this);
  group->setObjectName("RadioGroup1");
  auto* grid = new QGridLayout(group);
  for (std::size_t i = 0; i < kOfflineModels.size(); ++i) {
    auto* item = new QRadioButton(
        QString::fromUtf8(kOfflineModels[i].data(), static_cast<int>(kOfflineModels[i].size())),
        group);
    grid->addWidget(item, static_cast<int>(i / 2), static_cast<int>(i % 2));
    items_.push_back(item);
  }
  SetItemIndex(kOfflineDefaultItem);
  layout->addWidget(group);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("ButtonOk");
  layout->addWidget(ok);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

int TSelZorDlg::ItemIndex() const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i]->isChecked()) return static_cast<int>(i);
  }
  return -1;
}

void TSelZorDlg::SetItemIndex(int index) {
  if (index >= 0 && index < static_cast<int>(items_.size())) {
    items_[static_cast<std::size_t>(index)]->setChecked(true);
  }
}

}  // namespace zelvar
