#include "app/forms/dialogs/Filew.h"

#include <QGridLayout>
#include <vector>

#include "services/AppState.h"
#include "skin/Suiform.h"

namespace zelvar {

TFileFormat::TFileFormat(QWidget* parent) : QDialog(parent) {
  Label1 = new QLabel(this);
  Edit1 = new QLineEdit("0", this);
  suiComboBox1 = new TsuiComboBox(this);
  for (const char* item : kFormatItems) suiComboBox1->AddItem(item);
  ModeComboB = new TsuiComboBox(this);
  for (const auto& lane : kLaneItems) ModeComboB->AddItem(lane.text);
  RadioGroup3 = new TsuiRadioGroup(this);
  RadioGroup3->setMinimumHeight(90);
  suiButtonOK = new TsuiButton(this);
  suiButton2 = new TsuiButton(this);

  // The frame fills the window below its title bar and holds the controls.
  auto* suiForm1 = new TsuiForm(this);
  suiForm1->setObjectName("suiForm1");
  auto* grid = new QGridLayout(suiForm1);
  grid->addWidget(suiComboBox1, 0, 0);
  grid->addWidget(ModeComboB, 0, 1);
  grid->addWidget(RadioGroup3, 1, 0, 1, 2);
  grid->addWidget(Label1, 2, 0);
  grid->addWidget(Edit1, 2, 1);
  grid->addWidget(suiButtonOK, 3, 0);
  grid->addWidget(suiButton2, 3, 1);

  connect(suiComboBox1, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!model_) return;
    model_->ChooseFormat(i);
    ModeComboB->setVisible(model_->laneVisible);
  });
  connect(ModeComboB, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (model_) model_->ChooseLane(i);
  });
  connect(suiButtonOK, &QPushButton::clicked, this, [this] {
    if (PressOk()) accept();
  });
  connect(suiButton2, &QPushButton::clicked, this, [this] {
    PressCancel();
    reject();
  });
  SetFormUIStyle(this, WinXP);
}

void TFileFormat::Load(FileFormatModel& model) {
  model_ = &model;
  setWindowTitle(QString::fromStdString(model.caption));
  suiButtonOK->SetCaption2(model.okText);
  suiButton2->SetCaption2(model.cancelText);
  RadioGroup3->SetCaption(model.fillCaption);
  RadioGroup3->SetItems(std::vector<std::string>(model.fillItems.begin(), model.fillItems.end()));
  RadioGroup3->SetItemIndex(gApp.FillMode);
  Label1->setText(QString::fromStdString(model.startLabel));
  Edit1->setText(QString::fromStdString(model.startText));
  const FileFormatModel before = model;
  suiComboBox1->setCurrentIndex(before.formatIndex);
  ModeComboB->setCurrentIndex(before.laneIndex);
  model.ChooseFormat(before.formatIndex);
  ModeComboB->setVisible(model.laneVisible);
}

bool TFileFormat::PressOk() {
  if (!model_) return true;
  model_->formatIndex = suiComboBox1->ItemIndex();
  model_->startText = Edit1->text().toStdString();
  if (!model_->Accept()) return false;
  if (RadioGroup3->GetItemIndex() >= 0) gApp.FillMode = RadioGroup3->GetItemIndex();
  return true;
}

void TFileFormat::PressCancel() {
  if (model_) model_->Cancel();
}

void TFileFormat::Run(FileFormatModel& model) {
  Load(model);
  if (exec() != QDialog::Accepted) model.Cancel();
  model_ = nullptr;
}

}  // namespace zelvar
