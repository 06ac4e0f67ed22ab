#include "app/forms/dialogs/TypeDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/forms/dialogs/SelZorDlg.h"
#include "services/Messages.h"
#include "skin/Suibutton.h"
#include "skin/Suiform.h"
#include "skin/Suilistbox.h"
#include "skin/Suiradiogroup.h"
#include "skin/Suiscrollbar.h"  // Suilistbox.h holds a QPointer to the bar

namespace zelvar {

namespace {
std::string Local(std::string_view text) {
  return LocalText(std::string(text));
}

// Refills a list box only when its items changed: a keystroke often leaves one list as it was.
void FillList(QListWidget* box, const ListState& state) {
  bool same = box->count() == static_cast<int>(state.items.size());
  for (int i = 0; same && i < box->count(); ++i) {
    same = box->item(i)->text().toStdString() == state.items[static_cast<std::size_t>(i)];
  }
  if (!same) {
    box->clear();
    for (const std::string& item : state.items) box->addItem(QString::fromStdString(item));
  }
  box->setCurrentRow(state.selected);
}
}  // namespace

TTypeDlg::TTypeDlg(TSelZorDlg* chooser, QWidget* parent)
    : QDialog(parent), suiForm1(new TsuiForm(this)) {
  setObjectName("TypeDlg");
  setModal(true);
  suiForm1->setObjectName("suiForm1");
  catalogue_.chooseModel = [chooser] {
    if (!chooser) return kOfflineDefaultItem;
    chooser->exec();
    return chooser->RadioGroup1->GetItemIndex();
  };

  auto* layout = new QHBoxLayout(suiForm1);
  RadioGroup1 = new TsuiRadioGroup(suiForm1);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup1->setMinimumWidth(180);
  layout->addWidget(RadioGroup1);
  ListBox1 = new TsuiListBox(suiForm1);
  ListBox1->setObjectName("ListBox1");
  layout->addWidget(ListBox1);
  auto* right = new QVBoxLayout;
  ListBox2 = new TsuiListBox(suiForm1);
  ListBox2->setObjectName("ListBox2");
  right->addWidget(ListBox2);
  SearchLabel = new QLabel(suiForm1);
  right->addWidget(SearchLabel);
  Edit2 = new QLineEdit(suiForm1);
  Edit2->setObjectName("Edit2");
  right->addWidget(Edit2);
  ButtonOk = new TsuiButton(suiForm1);
  ButtonOk->setObjectName("ButtonOk");
  right->addWidget(ButtonOk);
  layout->addLayout(right);

  RadioGroup1->OnClick = [this] {
    if (!showing_) Radio1OnClick();
  };
  connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!showing_) ListBox1Chosen(row);
  });
  connect(Edit2, &QLineEdit::textEdited, this, &TTypeDlg::OnChange2);
  connect(ButtonOk, &QPushButton::clicked, this, &TTypeDlg::ButtonOkClick);
  connect(ListBox2, &QListWidget::itemDoubleClicked, this, [this] { ButtonOkClick(); });

  ShowTexts();
  // Creation already reads the list, so the model is chosen during start-up.
  catalogue_.FillManufacturerList();
  ShowLists();
  SetFormUIStyle(this, MacOS);
}

void TTypeDlg::ShowTexts() {
  showing_ = true;
  RadioGroup1->SetCaption(Local(kCategoryGroupCaption));
  std::vector<std::string> items;
  for (const std::string& c : catalogue_.categories) items.push_back(Local(c));
  if (items != RadioGroup1->Items()) RadioGroup1->SetItems(items);
  SearchLabel->setText(QString::fromStdString(Local(kSearchLabel)));
  ButtonOk->SetCaption2(Local(kOkCaption));
  showing_ = false;
}

void TTypeDlg::ShowLists() {
  showing_ = true;
  if (!catalogue_.caption.empty()) suiForm1->SetCaption(catalogue_.caption);
  RadioGroup1->SetItemIndex(catalogue_.categoryItem);
  FillList(ListBox1, catalogue_.manufacturers);
  FillList(ListBox2, catalogue_.chips);
  showing_ = false;
}

void TTypeDlg::PrepareChipDialog() {
  catalogue_.PrepareChipDialog();
  ShowTexts();
  ShowLists();
}

void TTypeDlg::Radio1OnClick() {
  catalogue_.CategoryClicked(RadioGroup1->GetItemIndex());
  ShowLists();
}

void TTypeDlg::ListBox1Chosen(int row) {
  catalogue_.ManufacturerClicked(row);
  ShowLists();
}

void TTypeDlg::OnChange2(const QString& text) {
  catalogue_.SearchChanged(text.toStdString());
  ShowLists();
}

void TTypeDlg::ButtonOkClick() {
  SelectionResult result = SelectionResult::Ignored;
  if (catalogue_.ChooseChip(ListBox2->currentRow(), &result) == ChipCatalogue::OkOutcome::None) {
    return;
  }
  QDialog::done(QDialog::Accepted);
  emit chipChosen(result);
}

void TTypeDlg::done(int r) {
  FormClose();
  QDialog::done(r);
}

void TTypeDlg::FormClose() {
  catalogue_.CloseDeviceList();
}

}  // namespace zelvar
