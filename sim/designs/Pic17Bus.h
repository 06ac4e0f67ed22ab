#pragma once
// The PIC17C4x EPROM designs behind "pic17dip40.bit" (the chip turned half round, pin 1 in socket
// pin 21, on models below 6300) and "pic17dip40std.bit" (upright from socket pin 1, models 6300
// and 6400). These designs are ours: the bitstreams' logic is not published. They drive the
// chip's programming lines from FPGA register 18, whose value names a line and whose bit 7 gives
// its level:
//
//   line  chip pin (DIP40)   role
//   2     28 RE2/WR          the program pulse
//   3     19 OSC1            the chip's sequencer clock
//   4     30 RE0/ALE         high: the design drives ports 0 (AD15:8 on RD7:RD0, pins 33-40) and
//                            1 (AD7:0 on RC7:RC0, pins 2-9) onto the bus; low: the bus is let go
//   5     27 TEST            the programming-mode select
//
// A port write reaches the bus pins at the next register 18 write (the lines never move between
// them). Command 2 samples AD7:0 and command 1 AD15:8 into the next reply; a sample while the
// chip drives no bus pin is recorded as a hazard. Waits: 26 one tick (1 ms), 27 a settle (10 ms),
// 28 a long wait (10 ms).
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakePic17Dip40();
std::unique_ptr<Design> MakePic17Dip40Std();

}  // namespace zelvar::sim
