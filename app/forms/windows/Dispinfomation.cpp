#include "app/forms/windows/Dispinfomation.h"

#include <QVBoxLayout>

#include "skin/Suiform.h"
#include "skin/Suiprogressbar.h"

namespace zelvar {

TDispRun1::TDispRun1(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), suiForm1(new TsuiForm(this)) {
  setObjectName("DispRun1");
  setFixedSize(kWidth, kHeight);
  setModal(false);
  suiForm1->setObjectName("suiForm1");
  suiProgressBar1 = new TsuiProgressBar(suiForm1);
  suiProgressBar1->setObjectName("suiProgressBar1");
  auto* layout = new QVBoxLayout(suiForm1);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(suiProgressBar1);
  suiForm1->OnClick = [this] { close(); };
  SetFormUIStyle(this, MacOS);
}

}  // namespace zelvar
