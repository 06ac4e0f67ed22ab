#include "app/forms/TypeDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/forms/SelZorDlg.h"
#include "app/services/Messages.h"

namespace zelvar {

namespace {
QString Local(std::string_view text) {
  return QString::fromStdString(LocalText(std::string(text)));
}

void FillList(QListWidget* box, const ListState& state) {
  box->clear();
  for (const std::string& item : state.items) box->addItem(QString::fromStdString(item));
  box->setCurrentRow(state.selected);
}
}  // namespace

TTypeDlg::TTypeDlg(TSelZorDlg* chooser, QWidget* parent) : QDialog(parent) {
  setObjectName("TypeDlg");
  setModal(true);
  catalogue_.chooseModel = [chooser] {
    if (!chooser) return kOfflineDefaultItem;
    chooser->exec();
    return chooser->ItemIndex();
  };

  auto* layout = new QHBoxLayout(this);
  radioGroup1_ = new QGroupBox(this);
  radioGroup1_->setObjectName("RadioGroup1");
  radioLayout_ = new QVBoxLayout(radioGroup1_);
  layout->addWidget(radioGroup1_);

  listBox1_ = new QListWidget(this);
  listBox1_->setObjectName("ListBox1");
  layout->addWidget(listBox1_);

  auto* right = new QVBoxLayout;
  listBox2_ = new QListWidget(this);
  listBox2_->setObjectName("ListBox2");
  right->addWidget(listBox2_);
  searchLabel_ = new QLabel(this);
  right->addWidget(searchLabel_);
  edit2_ = new QLineEdit(this);
  edit2_->setObjectName("Edit2");
  right->addWidget(edit2_);
  buttonOk_ = new QPushButton(this);
  buttonOk_->setObjectName("ButtonOk");
  right->addWidget(buttonOk_);
  layout->addLayout(right);

  connect(listBox1_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!showing_) ListBox1Chosen(row);
  });
  connect(edit2_, &QLineEdit::textEdited, this, &TTypeDlg::OnChange2);
  connect(buttonOk_, &QPushButton::clicked, this, &TTypeDlg::ButtonOkClick);
  connect(listBox2_, &QListWidget::itemDoubleClicked, this, [this] { ButtonOkClick(); });

  RebuildCategories();
  searchLabel_->setText(Local(kSearchLabel));
  buttonOk_->setText(Local(kOkCaption));
  // Creation already reads the list, so the model is chosen during start-up.
  catalogue_.FillManufacturerList();
  ShowLists();
}

void TTypeDlg::RebuildCategories() {
  radioGroup1_->setTitle(Local(kCategoryGroupCaption));
  for (QRadioButton* b : categoryItems_) delete b;
  categoryItems_.clear();
  for (std::size_t i = 0; i < catalogue_.categories.size(); ++i) {
    auto* b = new QRadioButton(Local(catalogue_.categories[i]), radioGroup1_);
    radioLayout_->addWidget(b);
    connect(b, &QRadioButton::clicked, this, [this, i] { Radio1OnClick(static_cast<int>(i)); });
    categoryItems_.push_back(b);
  }
}

void TTypeDlg::ShowLists() {
  showing_ = true;
  setWindowTitle(QString::fromStdString(catalogue_.caption));
  const int item = catalogue_.categoryItem;
  if (item >= 0 && item < static_cast<int>(categoryItems_.size())) {
    categoryItems_[static_cast<std::size_t>(item)]->setChecked(true);
  }
  FillList(listBox1_, catalogue_.manufacturers);
  FillList(listBox2_, catalogue_.chips);
  showing_ = false;
}

void TTypeDlg::PrepareChipDialog() {
  catalogue_.PrepareChipDialog();
  RebuildCategories();
  searchLabel_->setText(Local(kSearchLabel));
  buttonOk_->setText(Local(kOkCaption));
  ShowLists();
}

void TTypeDlg::Radio1OnClick(int item) {
  catalogue_.CategoryClicked(item);
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
  if (catalogue_.ChooseChip(listBox2_->currentRow(), &result) == ChipCatalogue::OkOutcome::None) {
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
