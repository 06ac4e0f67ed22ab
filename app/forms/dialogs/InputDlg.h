#pragma once
// The three-number hex dialog (start, end, value) that the fuse-map window shows.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/core/buffer/BufferTools.h"

namespace zelvar {

class TInputHexDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TInputHexDlg(QWidget* parent = nullptr);

  void OkClick();
  void CancelClick();

  ThreeNumbers numbers;  // the results: start, end, value and the accepted flag
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QLineEdit* Edit3;
  QLabel* Label1;  // the start address's
  QLabel* Label3;  // the fill value's
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
};

}  // namespace zelvar
