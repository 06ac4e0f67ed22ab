#pragma once
// The model chooser shown when no programmer answered: which model's device list to show.
#include <QDialog>
#include <vector>

class QRadioButton;

namespace zelvar {

class TSelZorDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TSelZorDlg(QWidget* parent = nullptr);

  // The chosen item (0 "ZOR5105+" to 3 "ZOR6200"), read after the dialog closes.
  int ItemIndex() const;
  void SetItemIndex(int index);

 private:
  std::vector<QRadioButton*> items_;
};

}  // namespace zelvar
