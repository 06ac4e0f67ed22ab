#pragma once
// The large-flash design of the "P29F640" set, one design behind every adapter bitstream: the
// adapter ("tsop48p29", "sst39xx040dip32") fixes which socket pins carry the chip's address, data
// and control lines; the logic is the same. Adapters without a row in P29F640.cpp have no
// simulated counterpart.
//
// FPGA registers 21, 22 and 23 hold the address (bits 0-7, 8-15, 16-23) in the chip's own unit:
// words on the 16-bit adapters. Register 18: a value v with bit 7 sets line v & 0x7F, one with
// v & 0x0F = 7 runs command cycle v >> 4, any other clears line v. Lines: 1 the data bus's
// direction (set: the design listens; clear: it drives the last data), 2 CE#, 3 OE#, 4 WE#,
// 5 RESET#, 6 a spare line the adapters here leave unconnected. After loading, lines 1 to 4 are
// set and 5 and 6 clear. Command cycles are bus writes with their own WE# pulse, at these
// addresses and data: 1 0xAA at 0x5555, 2 0x55 at 0x2AAA, 3 0xA0 at 0x5555, 4 0x80 at 0x5555,
// 5 0x10 at 0x5555, 6 0x30 at the registers' address, 7 0x90 at 0x5555; cycle 0 writes nothing
// and puts the registers' address back on the pins (it must not reset a chip in autoselect:
// Read ID reads the codes after it). Every cycle ends with the registers' address on the pins.
//
// Commands: 1 reads the address once into the next reply byte (the low byte); 3 samples the data
// bus once (the low byte); 26 waits 1 ms, 28 100 ms, 64 the program time (50 us); 65 n reads
// n x 64 bytes from the address on (words low byte first on 16-bit adapters), stepping the
// address; 66 lo hi and 67 b program a word or byte at the address (cycles 1, 2 and 3, then the
// write) and step it; 69 lo hi is one bus write of the word (the byte lo) at the address.
// For the Intel command set of the "F640" set: 71 lo hi and 72 b program a word or byte as two
// bus writes at the address (0x40, then the data) and step it; 68 w sets the program pulse,
// which the simulation keeps but does not time (a program takes at its data latch). The
// "p28f001bxdip32" adapter holds a 28F001BX-class DIP32 with VPP on socket pin 5 and RP# on the
// reset line (socket pin 34). The "tsop29cmd2aa" and "tsop29cmd2aaa" adapters of the "HN29AND"
// set hold a 16-bit TSOP48 chip with its VCC on socket pin 34 and VSS on 31 (P29F640.cpp lays
// out their pins); that set names the word-program command (66 or 71) by "we0=".
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeP29F640Tsop48();
std::unique_ptr<Design> MakeP29F640Dip32();
std::unique_ptr<Design> MakeF640Dip32();
std::unique_ptr<Design> MakeHn29Tsop48Unlock555();
std::unique_ptr<Design> MakeHn29Tsop48Unlock5555();

}  // namespace zelvar::sim
