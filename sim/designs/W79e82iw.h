#pragma once
// "w79e82iw20": the command-level in-system-programming logic of the W79E82ISP set, on the same
// wiring as "w79e82xp20" (bus on socket pins 18-24 and 26; lines 1-5 on 11, 27, 28, 29, 30, line 7
// the design's read enable). It turns whole commands into the chip's ICP line sequences:
// - 101 starts a mode entry (lines 1, 2, 3, 6, 7 low, 4 and 5 high); 102 bytes then shift into
//   the chip on lines 1 and 2, led by the design's own first entry byte 0x5A; 25 closes the entry.
// - Outside the entry, 102 holds a byte. Two held bytes followed by seven command bits (96 a 0,
//   97 a 1, most significant first) are an address (high, low) and a command: the design latches
//   both into the chip, mapping the command (0 and 0x40 read, 0x21 and 0x61 program, 0x26 erase,
//   11 and 12 the ID reads) to the chip's own, and enters the data phase. A bit with no held
//   bytes is a trailing clock.
// - Command 1 is a read step (a bus sample into the reply, the address steps); 100 puts the held
//   byte on the bus and starts the program strobe (lines 3 and 4 low), 98 is its second step, 99
//   ends it (line 4 high, a line-3 pulse steps the address); 99 with no strobe running is idle.
// - Waits: 25 50 us, 26 1 ms, 28 100 ms; 27 (the programmer's settle) passes through.
// This design is ours: the bitstream's logic is not published.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeW79e82iw20();

}  // namespace zelvar::sim
