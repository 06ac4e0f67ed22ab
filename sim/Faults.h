#pragma once
// Faults a test may inject into the simulated programmer.
#include <array>

namespace zelvar::sim {

struct Faults {
  // The next bulk IN read answers nothing.
  bool failNextRead = false;
  // False: no FPGA answers the presence check before a load.
  bool fpgaPresent = true;
  // An overload of the supplies, or a socket pin shorted to ground (weak only while VCC or VPP is
  // on that pin): the power status reads bad.
  bool powerOverload = false;
  int shortedPin = 0;
  // Socket pins whose chip pin does not touch (a bent pin, dirt); indexed by socket pin.
  std::array<bool, 49> looseContact{};
};

}  // namespace zelvar::sim
