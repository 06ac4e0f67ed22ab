#include "app/forms/windows/SimSocketWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelvar {

TSimSocket::TSimSocket(sim::Programmer& p, QWidget* owner) : QWidget(owner, Qt::Tool), socket_(p) {
  setWindowTitle("Simulated socket");
  Held = new QLabel(this);
  Parts = new QComboBox(this);
  for (const std::string& part : SimSocket::Parts()) Parts->addItem(QString::fromStdString(part));
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
  layout->addLayout(buttons);
  layout->addLayout(choose);
  connect(TakeOut, &QPushButton::clicked, this, [this] {
    socket_.TakeOut();
    Refresh();
  });
  connect(PutBack, &QPushButton::clicked, this, [this] {
    socket_.PutBack();
    Refresh();
  });
  connect(Insert, &QPushButton::clicked, this, [this] {
    socket_.Insert(Parts->currentText().toStdString());
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
}

}  // namespace zelvar
