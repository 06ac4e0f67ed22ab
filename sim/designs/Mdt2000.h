#pragma once
// The MDT parallel design ("mdt2000.bit"), ours: the bitstream's logic is not published. FPGA
// register 18 sets a line: lines 1-40 are socket pins (value n low, n + 128 high); line 63 is the
// bus direction, high making the data pins inputs. Port 0 drives the 7-bit bus on socket pins
// 17-23 (RB0-RB6 of an 18-pin chip from socket pin 12), port 1 on 16-22 (RB0-RB6 of a 28-pin chip
// from socket pin 7); command 1 samples the port-0 pins, 2 the port-1 pins, into the next reply
// byte. Command 26 waits one 1 ms tick.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeMdt2000();

}  // namespace zelvar::sim
