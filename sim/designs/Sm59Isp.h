#pragma once
// "sm59r16a2isp": the ISP-entry design of the SM59ISP set, for a chip on the DIP40 adapter
// (socket pins = chip pins). Port 0 drives P0 (bit n on pin 39 - n); lines of FPGA register 18:
// 1 on P1.0 (pin 1), 2 on P3.2 (12, the byte strobe), 4 on RST (9), 5 on P3.3 (13), 6 on EA
// (31). Command 0 is one step of its byte handshake (1 us), 25 waits 10 us, 26 1 ms; 74 and 75
// set its clock dividers (kept, no effect here); 27 (the programmer's settle) passes through.
// This design is ours: the bitstream's logic is not published.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeSm59r16a2Isp();

}  // namespace zelvar::sim
