#pragma once
// The "tp2804" design (and "tp2804p44", the same logic for the PLCC44 adapter) of the TP28xx
// sets: the 8051 parallel logic (port 0 on P1 as A0..A7, command 33 onto P0 with register 25 its
// direction, the 256-byte block read) plus port 1 on P2 (A8..A15, socket pins 21 to 28) and port 2
// as eight control lines, bit n on the socket pin `kTp2804ControlPins[n]`:
//   c0 RST (9), c1 P3.7 (17), c2 PSEN (29), c3 EA (31), c4 ALE (30), c5 P3.6 (16), c6 P3.5 (15),
//   c7 P3.4 (14).
#include <array>
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

inline constexpr std::array<int, 8> kTp2804ControlPins = {9, 17, 29, 31, 30, 16, 15, 14};

std::unique_ptr<Design> MakeTp2804();

}  // namespace zelvar::sim
