#pragma once
// The byte-wide memory design ("zor5103.bit"): port 1 drives the bit-reversed A0..A7 onto socket
// pins 9..16, port 2 is the data bus on socket pins 17-19 and 21-25, and an address counter steps
// the address through A0..A15 for block reads and programming. Port 3 bits 2, 3 and 4 drive
// socket pins 28, 29 and 31 (the simple PLDs' row-address bit and program/verify line). It also
// carries the 8051 parallel logic (P51Parallel.h).
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeZor5103();

}  // namespace zelvar::sim
