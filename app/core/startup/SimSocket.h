#pragma once
// The simulated socket as the user handles it: take the chip out, put it back, or put in a blank
// chip of another part, so that Run's loop (removal, then placement) can be tried without
// hardware.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar {

class SimSocket {
 public:
  explicit SimSocket(sim::Programmer& p) : p_(p) {}

  // What the socket holds: the part's name, or "" when it is empty.
  std::string Held() const;
  // The part out of the socket, kept with its cells for PutBack.
  void TakeOut();
  // The chip last taken out goes back; false when there is none, or the socket is full.
  bool PutBack();
  // A blank chip of `part` into the socket (the one there is set aside); false for no model.
  bool Insert(std::string_view part);
  // The parts that can be put in.
  static std::vector<std::string> Parts();

 private:
  sim::Programmer& p_;
  std::shared_ptr<sim::ChipModel> aside_;
};

}  // namespace zelvar
