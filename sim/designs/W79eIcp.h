#pragma once
// The in-circuit-programming designs of the W79E sets ("w79e2051dip20.bit", "w79e82xp20.bit").
// They wire numbered control lines, set through FPGA register 18 (bits 0-6 the line, bit 7 its
// level), and programmer port 1 as the chip's data bus to socket pins:
//
//   design           chip at    bus (port 1 bits)        line 1 2  3  4  5  8
//   w79e2051dip20    11-30      bits 0-3: P1.0-P1.3 =    P3.0 P3.1 P3.2 P3.3 P3.4 P1.4
//                               socket 22-25             12   13   16   17   18   26
//   w79e82xp20       11-30      bits 0-7: chip pins      chip pins 1, 17, 18, 19, 20; no line 8
//                               8-14 and 16 = socket 18-24, 26            11, 27, 28, 29, 30
//
//   w79e225p44       adapter    bits 0-7: socket 28-35   lines 1-5 on 7-11, 6 on 12, 8-10 on
//                    (40 pins)                           13, 14, 17
//
// Line 7 is the design's own read enable: while it is 1 the bus pins are inputs, so the chip may
// drive them. Line 6 reaches no pin but on w79e225p44. Command 2 samples the bus into the next
// reply byte (the low four bits on the 4-bit bus); 29 waits one byte's program time (50 us), 28 the
// erase time (100 ms); 27 (the programmer's settle) passes through. These designs are ours: the
// bitstreams' logic is not published.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeW79e2051Dip20();
std::unique_ptr<Design> MakeW79e82xP20();
std::unique_ptr<Design> MakeW79e225P44();

}  // namespace zelvar::sim
