#pragma once
// The 22V10 design ("atf22v10b.bit") for a 24-pin chip at the bottom of the socket. FPGA register
// 18 sets control line v & 0x7F high (bit 7 set) or low: lines 1 and 2 on socket pins 17 and 18,
// line 3 (program/verify) on 13, line 4 (strobe) on 14, line 5 (erase select) on 15, line 6
// (configuration select) on 16. Its own commands: 74 n and 75 n set the bits a shift-in and a
// shift-out command moves; 56 v shifts n bits of v in on socket pin 12 with clock pulses on pin 11,
// bit 7 first; 57 shifts n bits out of socket pin 22, sampling before each clock pulse, into one
// reply byte, the first bit in bit n-1; 26, 27 and 28 wait 1 ms, 10 us and 100 ms.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeAtf22v10b();

}  // namespace zelvar::sim
