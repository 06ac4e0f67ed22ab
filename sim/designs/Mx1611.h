#pragma once
// The "mx1611sop44" design of the "MX29X161X" set: the large-flash register layout of
// sim/designs/P29F640.h on an SOP44 adapter that holds a 16-bit page-write flash in byte mode
// (BYTE# tied to ground, DQ15 the lowest address line A-1), chip pin n on socket pin n - 2 and
// pins 1 and 2 on socket pins 47 and 48: A-1 on socket pin 29, A0-A7 on 9 down to 2, A8-A16 on
// 40 down to 32, A17 on 1, A18 on 48, A19 on 41, D0-D7 on 13, 15, 17, 19, 22, 24, 26, 28, CE#
// on 10, OE# on 12, WE# on 42, VCC on 21 and both grounds on 30.
//
// FPGA registers 21, 22 and 23 hold the byte address (bits 0-7, 8-15, 16-23); a write to any of
// them puts the registers' address on the pins. Register 18: a value v with bit 7 sets line
// v & 0x7F, one with v & 0x0F = 7 runs command cycle v >> 4, any other clears line v. Lines: 1
// the data bus's direction (set: the design listens; clear: it drives its data latch), 2 CE#, 3
// OE#, 4 WE#, 5 and 6 spare lines the adapter leaves unconnected. After loading, lines 1 to 4
// are set and 5 and 6 clear. A command cycle puts its address on the pins and its data in the
// latch, and pulses nothing: the set strobes WE# with line 4. Cycles: 1 0xAA at 0xAAAA, 2 0x55
// at 0x5554, 3 0xA0 at 0xAAAA, 4 0x80 at 0xAAAA, 5 0x10 at 0xAAAA, 7 0x90 at 0xAAAA; cycle 0
// puts the registers' address back on the pins and 0xFF (no command) in the latch.
//
// Commands: 16 (port 0) steps the address registers by one and puts the new address on the pins
// (the value is not used); 19 (port 3) b and 67 b put b in the data latch; 26 waits 1 ms; 65 n
// reads n x 64 bytes from the registers' address on, one byte an address, and leaves the
// registers after the last.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeMx1611Sop44();

}  // namespace zelvar::sim
