#pragma once
// "stc12c5xdip28": the byte-wide programming design of the STC12CX set for the 28-pin parts
// (chip pin 1 at socket pin 7). Port 1 is the bus, on chip pins 1-8 (socket 7-14); control lines
// 0 to 10 of FPGA register 18 reach chip pins 15-25 (socket 21-31). While line 0 is high the bus
// pins are inputs (the chip's read). Command 2 samples the bus into the next reply byte; 25 waits
// 10 us, 26 1 ms, 29 10 ms; 27 (the programmer's settle) passes through. This design is ours: the
// bitstream's logic is not published.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeStc12c5xDip28();

}  // namespace zelvar::sim
