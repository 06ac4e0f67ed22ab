#pragma once
// The simulated socket's window, shown only with --programmer=sim: which part sits in the
// socket, and buttons to take it out, put it back, or put in another part.
#include <QWidget>
#include <string>

#include "app/core/startup/SimSocket.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace zelvar {

class TSimSocket : public QWidget {
 public:
  // `chosen` and `seatMessage` (the start's, kept by the caller) are the chosen line's seat and
  // why the socket holds nothing for it.
  TSimSocket(sim::Programmer& p, QWidget* owner = nullptr, const ChosenSeat* chosen = nullptr,
             const std::string* seatMessage = nullptr);

  QLabel* Held = nullptr;
  // Why the socket is empty or a part could not go in; hidden when there is nothing to say.
  QLabel* Note = nullptr;
  QComboBox* Parts = nullptr;
  QPushButton* TakeOut = nullptr;
  QPushButton* PutBack = nullptr;
  QPushButton* Insert = nullptr;

  // Shows what the socket holds now (a chip choice may have changed it).
  void Refresh();

 private:
  SimSocket socket_;
  const std::string* seatMessage_;
  std::string note_;  // the last button's message
};

}  // namespace zelvar
