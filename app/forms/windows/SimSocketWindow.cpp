#include "app/forms/windows/SimSocketWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/core/catalogue/DeviceList.h"
#include "services/AppState.h"

namespace zelvar {

TSimSocket::TSimSocket(sim::Programmer& p, QWidget* owner, const ChosenSeat* chosen,
                       const std::string* seatMessage)
    : QWidget(owner, Qt::Tool), socket_(p, chosen), seatMessage_(seatMessage) {
  setWindowTitle("Simulated socket");
  Held = new QLabel(this);
  Note = new QLabel(this);
  Note->setWordWrap(true);
  Parts = new QComboBox(this);
  // Every chip of this model's list that has a chip model, whatever its family.
  const std::string list = gApp.ProgramDir + "/" + DeviceListFor(p.model(), [] { return 0; }).file;
  for (const std::string& part : SimSocket::Parts(list))
    Parts->addItem(QString::fromStdString(part));
  TakeOut = new QPushButton("Take out", this);
  PutBack = new QPushButton("Put back", this);
  Insert = new QPushButton("Insert blank", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(TakeOut);
  buttons->addWidget(PutBack);
  auto* choose = new QHBoxLayout;
  choose->addWidget(Parts);
  choose->addWidget(Insert);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Held);
  layout->addWidget(Note);
  layout->addLayout(buttons);
  layout->addLayout(choose);
  connect(TakeOut, &QPushButton::clicked, this, [this] {
    socket_.TakeOut();
    note_.clear();
    Refresh();
  });
  connect(PutBack, &QPushButton::clicked, this, [this] {
    socket_.PutBack();
    note_ = socket_.Message();
    Refresh();
  });
  connect(Insert, &QPushButton::clicked, this, [this] {
    socket_.Insert(Parts->currentText().toStdString());
    note_ = socket_.Message();
    Refresh();
  });
  Refresh();
}

void TSimSocket::Refresh() {
  const std::string held = socket_.Held();
  Held->setText(held.empty() ? "Simulated socket: empty"
                             : QString::fromStdString("Simulated socket: " + held));
  TakeOut->setEnabled(!held.empty());
  PutBack->setEnabled(held.empty());
  // A button's own message first, else why the chosen line's chip is not in the socket.
  const std::string note = !note_.empty()                 ? note_
                           : held.empty() && seatMessage_ ? *seatMessage_
                                                          : "";
  Note->setText(QString::fromStdString(note));
  Note->setVisible(!note.empty());
}

}  // namespace zelvar
