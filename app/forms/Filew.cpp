#include "app/forms/Filew.h"

#include <QGridLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/services/AppState.h"

namespace zelvar {

TFileFormat::TFileFormat(QWidget* parent) : QDialog(parent) {
  Label1 = new QLabel(this);
  Edit1 = new QLineEdit("0", this);
  suiComboBox1 = new QComboBox(this);
  for (const char* item : kFormatItems) suiComboBox1->addItem(QString::fromUtf8(item));
  ModeComboB = new QComboBox(this);
  for (const auto& lane : kLaneItems) ModeComboB->addItem(QString::fromUtf8(lane.text));
  RadioGroup3 = new QGroupBox(this);
  fillButtons = new QButtonGroup(this);
  auto* fillLayout = new QVBoxLayout(RadioGroup3);
  for (int i = 0; i < static_cast<int>(kFillModeItems.size()); ++i) {
    auto* b = new QRadioButton(RadioGroup3);
    fillButtons->addButton(b, i);
    fillLayout->addWidget(b);
  }
  suiButtonOK = new QPushButton(this);
  suiButton2 = new QPushButton(this);

  auto* grid = new QGridLayout(this);
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
  connect(fillButtons, &QButtonGroup::idClicked, this, [](int id) { gApp.FillMode = id; });
  connect(suiButtonOK, &QPushButton::clicked, this, [this] {
    if (PressOk()) accept();
  });
  connect(suiButton2, &QPushButton::clicked, this, [this] {
    PressCancel();
    reject();
  });
}

void TFileFormat::Load(FileFormatModel& model) {
  model_ = &model;
  setWindowTitle(QString::fromStdString(model.caption));
  suiButtonOK->setText(QString::fromStdString(model.okText));
  suiButton2->setText(QString::fromStdString(model.cancelText));
  RadioGroup3->setTitle(QString::fromStdString(model.fillCaption));
  for (int i = 0; i < static_cast<int>(model.fillItems.size()); ++i)
    fillButtons->button(i)->setText(QString::fromStdString(model.fillItems[i]));
  if (auto* b = fillButtons->button(gApp.FillMode)) b->setChecked(true);
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
  model_->formatIndex = suiComboBox1->currentIndex();
  model_->startText = Edit1->text().toStdString();
  return model_->Accept();
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
