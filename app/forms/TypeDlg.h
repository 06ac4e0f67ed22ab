#pragma once
// The chip dialog: category, manufacturer and chip lists with a search box. The lists and the OK
// action live in ChipCatalogue; this form shows them and forwards its events.
#include <QDialog>
#include <vector>

#include "app/core/catalogue/ChipCatalogue.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace zelvar {

class TSelZorDlg;

class TTypeDlg : public QDialog {
  Q_OBJECT

 public:
  // `chooser` is asked for the model when no programmer answered; creating the dialog already
  // reads the device list.
  explicit TTypeDlg(TSelZorDlg* chooser, QWidget* parent = nullptr);

  // Called by the main window's chip button before the dialog is shown modally.
  void PrepareChipDialog();

  ChipCatalogue& catalogue() { return catalogue_; }

  // Handlers, named after their controls.
  void Radio1OnClick(int item);
  void ListBox1Chosen(int row);  // key up or mouse up in the manufacturer list
  void OnChange2(const QString& text);
  void ButtonOkClick();

 signals:
  // After the OK action: the chip was bound, refused, or handed to the IC tester.
  void chipChosen(zelvar::SelectionResult result);

 protected:
  void done(int r) override;  // every way of closing runs FormClose

 private:
  void FormClose();
  void ShowLists();
  void RebuildCategories();

  ChipCatalogue catalogue_;
  QGroupBox* radioGroup1_ = nullptr;
  QVBoxLayout* radioLayout_ = nullptr;
  std::vector<QRadioButton*> categoryItems_;
  QListWidget* listBox1_ = nullptr;
  QListWidget* listBox2_ = nullptr;
  QLabel* searchLabel_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  QPushButton* buttonOk_ = nullptr;
  bool showing_ = false;  // lists being refilled: their change signals are not the user's
};

}  // namespace zelvar
