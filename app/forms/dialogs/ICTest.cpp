#include "app/forms/dialogs/ICTest.h"

#include <QGridLayout>

#include "services/AppState.h"
#include "services/Messages.h"
#include "skin/Suiform.h"
#include "skin/Suilistbox.h"
#include "skin/Suiscrollbar.h"  // Suilistbox.h holds a QPointer to the bar

namespace zelvar {

TICTestx* ICTestx = nullptr;

namespace {
QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
// The Chinese or the English caption, by language.
std::string Pick(const char* chinese, const char* english) {
  return ChineseTexts & 1 ? chinese : english;
}
}  // namespace

TICTestx::TICTestx(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Test  IC (74,40,45)");
  Label1 = new QLabel(this);
  Label2 = new QLabel(this);
  CancelBtn = new TsuiButton(this);
  Message = new QLineEdit(this);
  Message->setReadOnly(true);
  Test1 = new TsuiButton(this);
  RadioGroup1 = new TsuiRadioGroup(this);
  RadioGroup1->SetItems({"74xxx", "40xxx", "45xxx"});
  RadioGroup1->SetColumns(3);
  RadioGroup1->setMinimumHeight(48);
  ButtonSearch1 = new TsuiButton(this);
  ListBox1 = new TsuiListBox(this);
  ListBox2 = new TsuiListBox(this);
  Number = new QLineEdit(this);
  Number->setReadOnly(true);
  ComboBox1 = new QComboBox(this);
  ComboBox1->addItems({"Voltage=5.0V", "Voltage=4.2V", "Voltage=3.3V", "Voltage=2.5V"});
  // The frame fills the window below its title bar and holds the controls.
  auto* suiForm1 = new TsuiForm(this);
  suiForm1->setObjectName("suiForm1");
  auto* grid = new QGridLayout(suiForm1);
  grid->addWidget(RadioGroup1, 0, 0, 1, 2);
  grid->addWidget(Label2, 1, 0);
  grid->addWidget(Label1, 1, 1);
  grid->addWidget(ListBox1, 2, 0);
  grid->addWidget(ListBox2, 2, 1);
  grid->addWidget(Number, 3, 0);
  grid->addWidget(ComboBox1, 3, 1);
  grid->addWidget(Message, 4, 0, 1, 2);
  grid->addWidget(Test1, 5, 0);
  grid->addWidget(ButtonSearch1, 5, 1);
  grid->addWidget(CancelBtn, 6, 1);
  RadioGroup1->OnClick = [this] {
    if (!syncing_) Gr1OnClick();
  };
  connect(Test1, &QPushButton::clicked, this, [this] { suitempTest1Click(); });
  connect(ButtonSearch1, &QPushButton::clicked, this, [this] { suitempButton1Click(); });
  connect(ListBox1, &QListWidget::itemClicked, this, [this] { LBox1OnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { suitempCancelBtnClick(); });
  // The vector count shows while a long test runs.
  tester_.progress = [this] {
    Message->setText(Q(tester_.message));
    if (isVisible()) Message->repaint();
  };
  SetFormUIStyle(this, WinXP);
}

void TICTestx::Mirror() {
  Message->setText(Q(tester_.message));
  Number->setText(Q(tester_.number));
  if (ListBox1->count() != static_cast<int>(tester_.library.names.size())) {
    ListBox1->clear();
    for (const auto& n : tester_.library.names) ListBox1->addItem(Q(n));
  }
  ListBox1->setCurrentRow(tester_.selected);
  ListBox2->clear();
  for (const auto& n : tester_.matches) ListBox2->addItem(Q(n));
  syncing_ = true;
  RadioGroup1->SetItemIndex(tester_.libraryItem);
  syncing_ = false;
}

void TICTestx::ShowIcTester() {
  CancelBtn->SetCaption2(Pick("退出", "Exit"));
  Test1->SetCaption2(Pick("测试", "Test"));
  ButtonSearch1->SetCaption2(Pick("自动探测型号", "Search"));
  Label1->setText(Q(Pick("搜索结果", "Result")));
  Label2->setText(Q(Pick("选择型号", "Select")));
  ListBox1->clear();
  tester_.Prepare(gApp.TypeIndex);
  closed_ = false;
  Mirror();
}

void TICTestx::SelectLibrary(int item) {
  ListBox1->clear();
  tester_.SelectLibrary(item);
  Mirror();
}

void TICTestx::OpenModal() {
  ShowIcTester();
  SelectLibrary(0);
  exec();
}

void TICTestx::Gr1OnClick() {
  SelectLibrary(RadioGroup1->GetItemIndex());
}

void TICTestx::suitempTest1Click() {
  tester_.TestChip(ComboBox1->currentText().toStdString());
  Mirror();
}

void TICTestx::suitempButton1Click() {
  tester_.Search(ComboBox1->currentText().toStdString());
  Mirror();
}

void TICTestx::LBox1OnClick() {
  tester_.Choose(ListBox1->currentRow());
  Mirror();
}

void TICTestx::suitempCancelBtnClick() {
  close();
}

void TICTestx::done(int result) {
  // Every way out (Exit, the title bar, Escape) leaves the socket without supplies.
  if (!closed_) {
    tester_.Close();
    closed_ = true;
  }
  QDialog::done(result);
}

}  // namespace zelvar
