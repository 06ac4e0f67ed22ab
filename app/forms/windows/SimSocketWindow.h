#pragma once
// The simulated socket's window, shown only with --programmer=sim: which part sits in the
// socket, and buttons to take it out, put it back, or put in another part.
#include <QWidget>

#include "app/core/startup/SimSocket.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace zelvar {

class TSimSocket : public QWidget {
 public:
  TSimSocket(sim::Programmer& p, QWidget* owner = nullptr);

  QLabel* Held = nullptr;
  QComboBox* Parts = nullptr;
  QPushButton* TakeOut = nullptr;
  QPushButton* PutBack = nullptr;
  QPushButton* Insert = nullptr;

  // Shows what the socket holds now (a chip choice may have changed it).
  void Refresh();

 private:
  SimSocket socket_;
};

}  // namespace zelvar
