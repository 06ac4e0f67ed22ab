#pragma once
// Command bytes, FPGA register 18 values and ports of the dsPIC30F in-circuit serial programming
// designs ("pic30dip40.bit", "pic30dip28.bit", "pic30dip18.bit", "pic30plcc44.bit",
// "pic30qfp44.bit", "pic30isp.bit"): the design clocks a 4-bit chip command (port 1) and a 24-bit
// operand (ports 3 to 5) out on PGC and PGD, or, in the read direction, takes the 16 bits the chip
// shifts back (VISI) for the next reply. Register 18 picks the line state, bit 7 being the strobe.
#include <cstdint>

namespace zelvar::pic30 {

// Command bytes.
inline constexpr std::uint8_t kCmdVisiLow = 3;   // the low byte of the last read, into the reply
inline constexpr std::uint8_t kCmdVisiHigh = 4;  // its high byte
inline constexpr std::uint8_t kCmdTick = 26;     // one wait tick
inline constexpr std::uint8_t kCmdSettle = 27;   // a settle after a supply or programming step
inline constexpr std::uint8_t kCmdDone = 29;     // waits for a transfer to end

// FPGA register 18 and its values.
inline constexpr std::uint8_t kStrobe = 0x80;
inline constexpr std::uint8_t kLatch = 1;      // with the strobe: start the transfer
inline constexpr std::uint8_t kIdleLines = 2;  // PGC and PGD low
inline constexpr std::uint8_t kDirection = 3;  // read direction; with the strobe: drive
inline constexpr std::uint8_t kReset = 4;      // the transfer logic back to idle

// Ports: the start flag, the 4-bit command and the operand's three bytes.
inline constexpr std::uint8_t kPortStart = 0;
inline constexpr std::uint8_t kPortCommand = 1;
inline constexpr std::uint8_t kPortLow = 3;
inline constexpr std::uint8_t kPortMiddle = 4;
inline constexpr std::uint8_t kPortHigh = 5;

// The chip's 4-bit commands.
inline constexpr std::uint8_t kSix = 0x0;     // execute the 24-bit instruction
inline constexpr std::uint8_t kRegout = 0x1;  // shift out VISI

}  // namespace zelvar::pic30
