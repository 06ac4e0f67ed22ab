#pragma once
// The MDT serial-command designs ("mdt10p*.bit"), ours: the bitstreams' logic is not published.
// Each wires a clock and a data line to the socket pins where its seat puts the chip's RB6/GP1
// (clock) and RB7/GP0 (data):
//
//   design            chip pin 1 at   clock  data
//   mdt10p73          socket 7          33     34    (28-pin)
//   mdt10p40pin       socket 1          39     40    (40-pin)
//   mdt10p18pin       socket 12         23     24    (18-pin)
//   mdt10p14_18std    socket 14         25     26    (14-pin)
//   mdt10p8pin        socket 17         22     23    (8-pin)
//
// FPGA register 18 sets the design's lines (n low, n + 128 high). Line 3 high drives clock and
// data (both low when idle); low releases them. Line 2 low starts a frame, high takes it from
// ports 0 and 1: 13 bits when line 5 is high, 5 bits when it is low. Command 29 clocks the next
// eight bits of the frame out, least significant first: for each bit the data line is pulled low
// for a 0 and released (a pull-up) for a 1, the clock rises, the line is sampled, and the clock
// falls. The samples of frame bits 5-12 (the data phase) make the capture byte, bit 5 in bit 0;
// command 1 puts it into the next reply byte. Waits: 26 one tick (1 ms), 27 10 ms.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeMdt10p73();
std::unique_ptr<Design> MakeMdt10p40Pin();
std::unique_ptr<Design> MakeMdt10p18Pin();
std::unique_ptr<Design> MakeMdt10p14Std();
std::unique_ptr<Design> MakeMdt10p8Pin();

}  // namespace zelvar::sim
