#include "app/forms/dialogs/Setting.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "services/AppState.h"
#include "services/Messages.h"
#include "skin/Suibutton.h"
#include "skin/Suiedit.h"
#include "skin/Suiform.h"
#include "skin/Suipagecontrol.h"
#include "skin/Suiradiogroup.h"

namespace zelvar {

TSetting1* Setting1 = nullptr;

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QGridLayout* Grid(QWidget* sheet) {
  return static_cast<QGridLayout*>(sheet->layout());
}

}  // namespace

TSetting1::TSetting1(StampSettings& model, QWidget* owner) : QDialog(owner), model_(model) {
  setObjectName("Setting1");
  setWindowTitle("Settings");
  // The frame fills the window below its title bar and holds the controls.
  auto* suiForm1 = new TsuiForm(this);
  suiForm1->setObjectName("suiForm1");
  auto* v = new QVBoxLayout(suiForm1);
  pages = new TsuiPageControl(this);
  for (TsuiTabSheet*& sheet : sheets) {
    sheet = new TsuiTabSheet(pages);
    new QGridLayout(sheet);
  }
  pages->SetActivePage(sheets[0]);
  v->addWidget(pages);

  // The labels stand in column 0 of their sheet's grid, the edits in column 1.
  auto label = [this](int index, QWidget* sheet, int row) {
    labels_[static_cast<std::size_t>(index)] = new QLabel(sheet);
    Grid(sheet)->addWidget(labels_[static_cast<std::size_t>(index)], row, 0);
  };
  label(0, sheets[0], 0);
  Edit1 = AddEdit(sheets[0], 0, "Edit1", &StampSettings::Edit1, true);
  label(1, sheets[0], 1);
  Edit5 = AddEdit(sheets[0], 1, "Edit5", &StampSettings::Edit5, true);
  label(2, sheets[0], 2);
  Edit2 = AddEdit(sheets[0], 2, "Edit2", &StampSettings::Edit2, true);
  label(3, sheets[0], 3);
  Edit6 = AddEdit(sheets[0], 3, "Edit6", &StampSettings::Edit6, true);
  CheckBox1 = AddCheck(sheets[0], 4, "CheckBox1", &StampSettings::CheckBox1, true);
  CheckBox6 = AddCheck(sheets[0], 5, "CheckBox6", &StampSettings::CheckBox6, true);

  label(4, sheets[1], 0);
  Edit4 = AddEdit(sheets[1], 0, "Edit4", &StampSettings::Edit4, true);
  label(5, sheets[1], 1);
  label(6, sheets[1], 2);
  Edit3 = AddEdit(sheets[1], 2, "Edit3", &StampSettings::Edit3, false);
  Edit3->setReadOnly(true);
  CheckBox2 = AddCheck(sheets[1], 3, "CheckBox2", &StampSettings::CheckBox2, true);

  // The project keeps these two as well: changing them changes the project.
  CheckBox4 = AddCheck(sheets[2], 0, "CheckBox4", &StampSettings::CheckBox4, true);
  CheckBox5 = AddCheck(sheets[2], 1, "CheckBox5", &StampSettings::CheckBox5, true);
  for (TsuiTabSheet* sheet : sheets) Grid(sheet)->setRowStretch(Grid(sheet)->rowCount(), 1);

  RadioGroup1 = new TsuiRadioGroup(this);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup1->SetItems({"Hex", "Int", "Float"});
  RadioGroup1->SetColumns(3);
  RadioGroup1->setMinimumHeight(48);
  RadioGroup1->OnClick = [this] {
    if (!showing_ && RadioGroup1->GetItemIndex() >= 0)
      model_.RadioGroup1 = RadioGroup1->GetItemIndex();
  };
  v->addWidget(RadioGroup1);

  suitempButton1 = new TsuiButton(this);
  suitempButton1->setObjectName("suitempButton1");
  suitempButton1->SetCaption2("OK");
  connect(suitempButton1, &QPushButton::clicked, this, [this] { suitempButton1Click(); });
  v->addWidget(suitempButton1, 0, Qt::AlignRight);

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  model_.Edit3 = DateTimeText(clock());
  SetCaptions();
  ShowSettings();
  SetFormUIStyle(this, MacOS);
  // The edits as the form stores them: MacOS with a grey border, whatever the frame wears.
  for (TsuiEdit* edit : findChildren<TsuiEdit*>()) {
    edit->SetUIStyle(MacOS);
    edit->SetBorderColor(QColor(0x7F, 0x7F, 0x7F));
  }
}

QLineEdit* TSetting1::AddEdit(QWidget* sheet, int row, const char* name,
                              std::string StampSettings::*text, bool marksProject) {
  auto* e = new TsuiEdit(sheet);
  e->setObjectName(name);
  e->setMinimumWidth(e->fontMetrics().horizontalAdvance("0000-00-00 00:00:00") + 16);
  Grid(sheet)->addWidget(e, row, 1);
  // Only the user's typing changes the project; the program's own updates do not.
  connect(e, &QLineEdit::textEdited, this, [this, text, marksProject](const QString& t) {
    model_.*text = t.toStdString();
    if (marksProject) SettingsEdited();
  });
  return e;
}

TsuiCheckBox* TSetting1::AddCheck(QWidget* sheet, int row, const char* name,
                                  bool StampSettings::*flag, bool marksProject) {
  auto* c = new TsuiCheckBox(sheet);
  c->setObjectName(name);
  Grid(sheet)->addWidget(c, row, 0, 1, 2);
  c->OnClick = [this, c, flag, marksProject] {
    if (showing_) return;
    model_.*flag = c->Checked();
    if (marksProject) SettingsEdited();
  };
  return c;
}

void TSetting1::SetCaptions() {
  setWindowTitle(Q(LocalText("Settings*设置")));
  sheets[0]->SetCaption(LocalText("Increment*线性增量"));
  sheets[1]->SetCaption(LocalText("Date*日期和时间"));
  sheets[2]->SetCaption(LocalText("Others*其他"));
  const char* texts[] = {
      "Start addr*起始地址", "Length*字节长度",      "Value*初始数值:",      "Increment*增量",
      "Start addr*起始地址", "16 char*共占用16字节", "Current time*当前时间"};
  for (std::size_t i = 0; i < labels_.size(); ++i) labels_[i]->setText(Q(LocalText(texts[i])));
  CheckBox1->SetCaption(LocalText("Enabe*允许"));
  CheckBox2->SetCaption(LocalText("Enabe*允许"));
  CheckBox6->SetCaption(LocalText("From lower addr*从低地址开始"));
  CheckBox4->SetCaption(LocalText("Detect pin*检测引脚接触状态"));
  CheckBox5->SetCaption(LocalText("Test power*快速检测超限电流"));
  RadioGroup1->SetCaption("Format");
}

void TSetting1::ShowSettings() {
  showing_ = true;
  const std::pair<QLineEdit*, const std::string*> edits[] = {
      {Edit1, &model_.Edit1}, {Edit2, &model_.Edit2}, {Edit3, &model_.Edit3},
      {Edit4, &model_.Edit4}, {Edit5, &model_.Edit5}, {Edit6, &model_.Edit6}};
  for (const auto& [edit, text] : edits) edit->setText(Q(*text));
  const std::pair<TsuiCheckBox*, bool> checks[] = {{CheckBox1, model_.CheckBox1},
                                                   {CheckBox2, model_.CheckBox2},
                                                   {CheckBox4, model_.CheckBox4},
                                                   {CheckBox5, model_.CheckBox5},
                                                   {CheckBox6, model_.CheckBox6}};
  for (const auto& [box, on] : checks) box->SetChecked(on);
  RadioGroup1->SetItemIndex(model_.RadioGroup1);
  showing_ = false;
}

bool TSetting1::ApplyStamps(bool advance) {
  return Stamped(zelvar::ApplyStamps(model_, advance, clock, gApp.CodeBuffer));
}

void TSetting1::suitempButton1Click() {
  // A refused stamp keeps the window open for the user to mend it.
  if (Stamped(ConfirmSettings(model_, clock, gApp.CodeBuffer))) close();
}

bool TSetting1::Stamped(bool ok) {
  ShowSettings();
  if (ok && (model_.CheckBox1 || model_.CheckBox2) && bufferChanged) bufferChanged();
  return ok;
}

void TSetting1::Timer1Timer() {
  model_.Edit3 = DateTimeText(clock());
  Edit3->setText(Q(model_.Edit3));
}

void TSetting1::showEvent(QShowEvent* event) {
  Timer1Timer();
  Timer1->start();
  QDialog::showEvent(event);
}

void TSetting1::hideEvent(QHideEvent* event) {
  Timer1->stop();
  QDialog::hideEvent(event);
}

}  // namespace zelvar
