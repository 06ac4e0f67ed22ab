#pragma once
// The Fill and Sum dialog; its caption ("Fill" or "Sum") chooses the mode.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include "skin/Suibutton.h"

namespace zelvar {

class TFillDlg1 : public QDialog {
  Q_OBJECT
 public:
  explicit TFillDlg1(QWidget* parent = nullptr);

  // The main window's Fill and Checksum commands (modal).
  void RunFill();
  void RunSum();

  // Texts by mode and language (the form's paint step).
  void SetTexts();
  void suiButton1Click();

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLineEdit* Edit1;  // start
  QLineEdit* Edit2;  // end
  QLineEdit* Edit3;  // value or sum
  TsuiButton* suiButton1;
  TsuiButton* suiButton2;

 private:
  bool FillMode() const { return windowTitle() == "Fill"; }
};

}  // namespace zelvar
