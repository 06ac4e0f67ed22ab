#pragma once
// The model chooser shown when no programmer answered: which model's device list to show.
#include <QDialog>

namespace zelvar {

class TsuiButton;
class TsuiForm;
class TsuiRadioGroup;

class TSelZorDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TSelZorDlg(QWidget* parent = nullptr);

  // The chosen item (0 "ZOR5105+" to 3 "ZOR6200"), read after the dialog closes.
  TsuiRadioGroup* RadioGroup1 = nullptr;

 private:
  TsuiForm* suiForm1 = nullptr;
  TsuiButton* ButtonOk = nullptr;
};

}  // namespace zelvar
