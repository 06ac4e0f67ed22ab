#include "app/forms/dialogs/Autopro.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <utility>
#include <vector>

#include "services/Messages.h"
#include "skin/Suibutton.h"
#include "skin/Suiform.h"

namespace zelvar {

TAutoPro1::TAutoPro1(AutoProgrammer& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), model_(model) {
  setObjectName("AutoPro1");
  // The controls stand in the frame, below its title bar, which the window grows by.
  setFixedSize(274, 101 + 22);
  auto* suiForm1 = new TsuiForm(this);
  suiForm1->setObjectName("suiForm1");
  Edit1 = new QLineEdit(suiForm1);
  Edit1->setObjectName("Edit1");
  Edit1->setReadOnly(true);
  Edit1->setGeometry(12, 10, 250, 24);
  Label2 = new QLabel("Pin status", suiForm1);
  Label2->setObjectName("Label2");
  Label2->setGeometry(12, 40, 250, 20);
  Label2->hide();
  Button1 = new TsuiButton(suiForm1);
  Button1->setObjectName("Button1");
  Button1->setGeometry(97, 66, 80, 26);
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(kAutoTickMs);

  connect(Timer1, &QTimer::timeout, this, &TAutoPro1::Timer1Timer);
  connect(Button1, &QPushButton::clicked, this, &TAutoPro1::Button1Click);
  model_.ports().Update = [this] { Mirror(); };
  model_.ports().Close = [this] {
    if (isVisible()) done(QDialog::Accepted);
  };
  SetFormUIStyle(this, MacOS);
}

void TAutoPro1::ShowModal() {
  Mirror();
  if (!model_.Open) return;
  // A modal dialog blocks every window that is not its own: the usable windows stand as the
  // dialog's transient children while it is shown, and go back to their owners after.
  setWindowModality(Qt::ApplicationModal);
  winId();
  std::vector<std::pair<QPointer<QWidget>, QPointer<QWindow>>> owners;
  for (const QPointer<QWidget>& w : usable_) {
    if (!w || !w->isVisible() || !w->windowHandle()) continue;
    owners.emplace_back(w, w->windowHandle()->transientParent());
    w->windowHandle()->setTransientParent(windowHandle());
  }
  exec();
  for (const auto& [w, owner] : owners) {
    if (w && w->windowHandle()) w->windowHandle()->setTransientParent(owner);
  }
}

void TAutoPro1::KeepUsable(QWidget* window) {
  if (window) usable_.append(window);
}

void TAutoPro1::CentreOn(const QWidget& mainWindow) {
  const QRect m = mainWindow.geometry();
  const WindowPos p = CentredOn(m.left(), m.top(), m.width(), m.height(), width(), height());
  move(p.left, p.top);
}

void TAutoPro1::Mirror() {
  setWindowTitle(QString::fromStdString(model_.Caption));
  Button1->setText(QString::fromStdString(model_.ButtonCaption));
  Edit1->setText(QString::fromStdString(model_.EditText));
  Label2->setText(QString::fromStdString(model_.LabelText));
  Label2->setVisible(model_.LabelVisible);
  if (model_.TimerOn && !Timer1->isActive()) Timer1->start();
  if (!model_.TimerOn) Timer1->stop();
  if (isVisible()) repaint();
}

void TAutoPro1::Timer1Timer() {
  model_.Tick();
}

void TAutoPro1::Button1Click() {
  model_.Stop();
}

void TAutoPro1::closeEvent(QCloseEvent* event) {
  model_.FormClosed();
  Timer1->stop();
  QDialog::closeEvent(event);
}

// Escape or the frame's close button: the wait ends with RunResult still 0, so Run stops.
void TAutoPro1::reject() {
  model_.FormClosed();
  Timer1->stop();
  QDialog::reject();
}

}  // namespace zelvar
