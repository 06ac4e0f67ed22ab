#pragma once
// The busy window: a picture that turns a quarter turn at each step while a bitstream is sent or
// the self-test runs. It is not modal and is repainted only by StepBusy.
#include <QWidget>
#include <string>

class QLabel;

namespace zelvar {

class TsuiForm;

class TDispTimer1 : public QWidget {
  Q_OBJECT

 public:
  explicit TDispTimer1(QWidget* owner = nullptr);

  TsuiForm* suiForm1 = nullptr;  // the frame, whose title bar carries the caption
  QLabel* Image1 = nullptr;
  QImage Picture() const;
};

// Each does nothing while the busy window does not exist.
void ShowBusy(const std::string& caption);
void StepBusy(int step);
void CloseBusy();

extern TDispTimer1* DispTimer1;

}  // namespace zelvar
