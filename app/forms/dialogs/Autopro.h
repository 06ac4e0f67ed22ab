#pragma once
// The auto-programming dialog: a thin view over AutoProgrammer, whose ticks Timer1 drives.
#include <QDialog>
#include <QList>
#include <QPointer>

#include "app/core/runner/AutoProgrammer.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace zelvar {

class TAutoPro1 : public QDialog {
  Q_OBJECT

 public:
  AutoProgrammer& Model() { return model_; }
  explicit TAutoPro1(AutoProgrammer& model, QWidget* parent = nullptr);

  // Shows the dialog modally until the wait ends; the runner's ShowAutoDialog port. The windows
  // given to KeepUsable still take the user's clicks meanwhile.
  void ShowModal();
  // A window the user works in while Run waits (the simulated programmer's socket, where the
  // programmed chip is taken out and the next one put in).
  void KeepUsable(QWidget* window);
  // Stands centred on `mainWindow` (Run does this before anything else).
  void CentreOn(const QWidget& mainWindow);
  // Copies the model's texts, label and timer state to the controls.
  void Mirror();
  // Timer1's tick and the Stop button.
  void Timer1Timer();
  void Button1Click();

  QLineEdit* Edit1;
  QLabel* Label2;
  QPushButton* Button1;
  QTimer* Timer1;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  AutoProgrammer& model_;
  QList<QPointer<QWidget>> usable_;
};

}  // namespace zelvar
