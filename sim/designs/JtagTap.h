#pragma once
// The JTAG designs ("jtag2", "jtag95p44to44", "jtag95p44to40", "jtagC8051f32pin",
// "jtagM4a5P44to44"): the FPGA drives TCK, TMS and TDI and samples TDO on the socket pins its
// adapter wires, and walks the TAP itself for command 79:
// - FPGA register 18: line 1 is TCK, line 3 TMS (v & 0x7F the line, bit 7 the level); line 2 is
//   the header's spare line, wired to nothing the simulator models.
// - 79 11 walks Run-Test/Idle (or Test-Logic-Reset) to Shift-IR with TMS 0, 1, 1, 0, 0; 79 12 to
//   Shift-DR with TMS 0, 1, 0, 0 (the first idle clock lets both start from either state).
// - 79 13 n: the next n command bytes are data bytes, shifted LSB first with TMS 0; 79 14 n: the
//   next byte's n low bits are the shift's last bits, the last with TMS 1 (to Exit1); 79 15 x
//   (x = 1 or 12, both the sets' codes): Update with TMS 1, then Run-Test/Idle with TMS 0. Any
//   other end code is a protocol error.
// - Each bit: TDI set, TDO sampled (an undriven TDO reads 1), one TCK pulse. The bits taken are
//   kept until command 7, which replies them (bit i of the part in bit i % 8 of byte i / 8), or
//   command 78, which drops them. A part that ends inside a byte comes back in the byte's high
//   bits, the unused low bits 1: the design's capture register shifts in at bit 7, as common JTAG
//   shift engines do.
// - Waits: 26 1 ms, 27 20 ms (besides the programmer's own settle time), 29 2 us, 25 and 28 1 ms.
// Wiring (socket pins TDI, TMS, TCK, TDO): "jtag95p44to44" and "jtag2" 13, 14, 15, 28 (the
// 10-pin header itself is not simulated: "jtag2" drives the 44-pin adapter's pins); "jtag95p44to40"
// 13, 14, 15, 27; "jtagC8051f32pin" 23, 22, 21, 24; "jtagM4a5P44to44" 8, 34, 11, 30.
#include <memory>
#include <string_view>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeJtagTap(std::string_view tag);
std::unique_ptr<Design> MakeJtag2();
std::unique_ptr<Design> MakeJtag95p44to44();
std::unique_ptr<Design> MakeJtag95p44to40();
std::unique_ptr<Design> MakeJtagC8051f32pin();
std::unique_ptr<Design> MakeJtagM4a5P44to44();

}  // namespace zelvar::sim
