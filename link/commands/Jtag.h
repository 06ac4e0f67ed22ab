#pragma once
// Command bytes of the JTAG designs ("jtag2.bit", "jtag95p44to44.bit", "jtag95p44to40.bit",
// "jtagC8051f32pin.bit", "jtagM4a5P44to44.bit"): the design walks the TAP itself; the sets only
// say which register to shift, the data bytes, and where the shift ends. Bytes the programmer
// itself defines (7 the reply, 26 and 27 the waits) are in link/commands/Programmer.h.
#include <cstdint>

namespace zelvar::jtag {

// 79 and a sub-command: the shift commands.
inline constexpr std::uint8_t kCmdShift = 79;
inline constexpr std::uint8_t kShiftIr = 11;     // start a shift of the instruction register
inline constexpr std::uint8_t kShiftDr = 12;     // start a shift of the data register
inline constexpr std::uint8_t kShiftBytes = 13;  // n: the next n single bytes are data bytes
inline constexpr std::uint8_t kShiftLast = 14;   // n: the next single byte holds the last n bits
inline constexpr std::uint8_t kShiftEnd = 15;    // x: end of the shift
// The end codes of kShiftEnd the sets send.
inline constexpr std::uint8_t kEndXc95 = 12;
inline constexpr std::uint8_t kEndLattice = 1;
// Drops the read-back bits collected so far.
inline constexpr std::uint8_t kCmdDropReadBack = 78;
// Waits: one step after a clock pulse, the closing steps of Erase and Lock.
inline constexpr std::uint8_t kCmdAfterPulse = 29;
inline constexpr std::uint8_t kCmdEraseClose = 25;
inline constexpr std::uint8_t kCmdLockClose = 28;
// Control lines of FPGA register 18: TCK (pulsed), the header's spare line (held low during a
// CPLD access, high between operations) and TMS.
inline constexpr std::uint8_t kLineTck = 1;
inline constexpr std::uint8_t kLineSpare = 2;
inline constexpr std::uint8_t kLineTms = 3;

}  // namespace zelvar::jtag
