#pragma once
// The progress window of a chip operation: a small frame titled with the operation, one progress
// bar, above the other windows; a click on it closes it.
#include <QDialog>

namespace zelvar {

class TsuiForm;
class TsuiProgressBar;

class TDispRun1 : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWidth = 243;
  static constexpr int kHeight = 65;

  explicit TDispRun1(QWidget* parent = nullptr);

  TsuiForm* suiForm1;
  TsuiProgressBar* suiProgressBar1;
};

}  // namespace zelvar
