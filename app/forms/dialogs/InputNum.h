#pragma once
// The number converter: one 32-bit value shown as hex, decimal, binary and float; OK takes the
// value from the field typed in last.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>

namespace zelvar {

class TIputDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TIputDlg(QWidget* parent = nullptr);

  void Refresh();
  void OkClick();

  std::uint32_t value = 0;
  int lastField = 0;  // 1 hex, 2 decimal, 3 binary, 4 float
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QLineEdit* Edit3;
  QLineEdit* Edit4;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
};

}  // namespace zelvar
