#pragma once
// The EM78P designs, ours: the bitstreams' logic is not published.
//
// "em78p156", "em78p447" and "em78p458" drive six lines through FPGA register 29 (n low, n + 128
// high): line 1 the data line, 2 the shift clock, 3 the programming strobe, 4 the reset line,
// 5 the read line, 6 the address clock. "em78p156" and "em78p447" put lines 1-6 on socket pins
// 17-22, where both the 18-pin seat (chip pin 1 at socket 12) and the 28-pin seat (chip pin 1 at
// socket 7) have port pins; "em78p458" puts them on socket pins 18, 19, 20, 21, 23 and 13 of its
// 20-pin seat (chip pin 1 at socket 11). Command 53 (value, n) drives the top n bits of the value
// onto the data line, most significant first, each with a shift-clock pulse; 54 (n) releases the
// data line (a pull-up) and takes n bits, each sampled while the shift clock is high, into the
// next reply byte, the first bit highest.
//
// "em78p451" drives four lines through FPGA register 18 on socket pins 13 (line 1, the address
// clock), 14 (2, the half select), 36 (3, the read line) and 40 (4, the programming strobe), and a
// 7-bit bus from port 0 on socket pins 28-34, released while line 3 is low; command 1 samples
// the bus into the next reply byte.
//
// Waits: 25 the programming pulse (1 ms), 26 one tick (1 ms), 27 and 28 10 ms.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeEm78p156();
std::unique_ptr<Design> MakeEm78p447();
std::unique_ptr<Design> MakeEm78p458();
std::unique_ptr<Design> MakeEm78p451();

}  // namespace zelvar::sim
