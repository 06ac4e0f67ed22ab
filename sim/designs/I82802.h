#pragma once
// The firmware-hub design ("i82802.bit") for the 32-pin firmware hubs in their parallel
// programming mode, chip pin n in socket pin n + 4. The design runs the chip's multiplexed
// address bus: the set puts a 24-bit address in ports 3 (bits 0-7), 4 and 5 and the data in
// port 0; the chip takes A10..A0 of an address as its row (latched as R/C# falls) and A21..A11 as
// its column (latched as R/C# rises).
//
// FPGA register 18: a value with bit 7 sets line (v & 0x7F) high, one without sets it low; values
// 9 + 16k put one half of an address on the chip's A0..A10: k = 0 the column of the ports'
// address, 1 its row, 2 and 3 the column and row of 0x5555, 4 and 5 those of 0x2AAA.
// Lines: 1 the data bus's direction (high: the design listens, low: it drives port 0), 2 R/C#
// (socket 35), 3 OE# (28), 4 WE# (27), 5 IC (33, high: parallel programming), 6 RST# (6),
// 7 the design's drivers (low: it drives no socket pin). After loading, lines 1 to 6 are high and
// line 7 low.
//
// Commands: 55 reads 1024 bytes from the ports' address on (a row and a column cycle per byte,
// the data sampled with OE# as the set left it), stepping the address; 76 v is one write cycle of
// v at the address; 60 v the JEDEC byte program at the address (0xAA at 0x5555, 0x55 at 0x2AAA,
// 0xA0 at 0x5555, then v); 24 waits the byte-program time (20 us) and steps the address; 61 v the
// Intel byte program (0x40, then v at the address), its program time (30 us) and the step; 28
// waits 100 ms. The address pins A0..A10 sit on socket pins 16 down to 7 and 34, the data bus
// D0..D7 on 17-19 and 21-25.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeI82802();

}  // namespace zelvar::sim
