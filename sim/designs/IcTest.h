#pragma once
// The IC tester's design ("ictest.bit"). Ports 1 to 3 reach socket pins 9 to 32 but 20, the
// ground of every logic chip at the bottom of the socket (14 pins: socket 14-27, 16: 13-28,
// 20: 11-30, 24: 9-32; the supply sits on the chip's last pin, socket 27, 28, 30 or 32):
//
//   port 1 bit 0-7   socket pins 9-16
//   port 2 bit 0-2   socket pins 17-19
//   port 2 bit 3-6   socket pins 21-24
//   port 2 bit 7     socket pin 25
//   port 3 bit 0-6   socket pins 26-32
//
// In a library file a vector's three drive bytes (and its three read-back bytes) hold socket pins
// 9 to 32 as one 24-bit image, socket pin 9 + k in bit k; the loader's shuffle drops bit 11
// (socket pin 20) and packs the rest into the ports above.
//
// Port writes are latched; writing FPGA register 21 puts them on the pins. Each pin is driven
// through a series resistor: a 0 pulls it low, a 1 lets the pull-up hold it high, and a chip
// output overrides either, so the same vector may hold a chip's outputs at 1 while they answer.
// Commands 2, 3 and 4 read ports 1, 2 and 3 back from the pins (one reply byte each).
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

// The socket pin of bit `bit` of port `port` (1-3); 0 when the bit reaches no pin.
constexpr int IcTestSocketPin(int port, int bit) {
  if (port == 1) return 9 + bit;
  if (port == 2) return bit < 3 ? 17 + bit : 18 + bit;
  if (port == 3) return bit < 7 ? 26 + bit : 0;
  return 0;
}

std::unique_ptr<Design> MakeIcTest();

}  // namespace zelvar::sim
