#pragma once
// The chip dialog: category, manufacturer and chip lists with a search box. The lists and the OK
// action live in ChipCatalogue; this form shows them and forwards its events.
#include <QDialog>

#include "app/core/catalogue/ChipCatalogue.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace zelvar {

class TSelZorDlg;
class TsuiButton;
class TsuiForm;
class TsuiRadioGroup;

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
  void Radio1OnClick();
  void ListBox1Chosen(int row);  // key up or mouse up in the manufacturer list
  void OnChange2(const QString& text);
  void ButtonOkClick();

  TsuiForm* suiForm1 = nullptr;
  TsuiRadioGroup* RadioGroup1 = nullptr;
  QListWidget* ListBox1 = nullptr;
  QListWidget* ListBox2 = nullptr;
  QLabel* SearchLabel = nullptr;
  QLineEdit* Edit2 = nullptr;
  TsuiButton* ButtonOk = nullptr;

 signals:
  // After the OK action: the chip was bound, refused, or handed to the IC tester.
  void chipChosen(zelvar::SelectionResult result);

 protected:
  void done(int r) override;  // every way of closing runs FormClose

 private:
  void FormClose();
  void ShowLists();
  void ShowTexts();

  ChipCatalogue catalogue_;
  bool showing_ = false;  // controls being refilled: their change signals are not the user's
};

}  // namespace zelvar
