#pragma once
// Command bytes, FPGA register 18 values and ports of the PIC18 in-circuit serial programming
// designs ("pic18dip40.bit", "pic18dip28.bit", "pic18f2331dip28.bit", "pic18dip18.bit",
// "pic18plcc44.bit", "pic18qfp44.bit", "pic18isp.bit"): the design clocks a 4-bit chip command
// and its 16-bit operand out on PGC and PGD from its ports, or takes the byte the chip shifts back
// for the next reply. Register 18 picks the latch and strobe state, bit 7 being the strobe.
#include <cstdint>

namespace zelvar::pic18 {

// Command bytes.
inline constexpr std::uint8_t kCmdIdle = 0;        // an idle cycle: two end a transfer
inline constexpr std::uint8_t kCmdReadBack = 3;    // the byte a read transfer took, into the reply
inline constexpr std::uint8_t kCmdTick = 26;       // one wait tick
inline constexpr std::uint8_t kCmdSettle = 27;     // a settle after a supply or programming step
inline constexpr std::uint8_t kCmdEraseWait = 28;  // the bulk erase's wait
inline constexpr std::uint8_t kCmdDone = 29;       // waits for a transfer to end

// FPGA register 18 and its values.
inline constexpr std::uint8_t kLines = 18;
inline constexpr std::uint8_t kStrobe = 0x80;
inline constexpr std::uint8_t kLatch = 1;      // with the strobe: start a transfer
inline constexpr std::uint8_t kIdleLines = 2;  // idle
inline constexpr std::uint8_t kDirection = 3;  // read direction; with the strobe: drive
inline constexpr std::uint8_t kHold = 4;       // with the strobe: arm the hold; alone: end it

// Ports: the 4-bit command and the operand's low and high bytes.
inline constexpr std::uint8_t kPortCommand = 0;
inline constexpr std::uint8_t kPortLow = 1;
inline constexpr std::uint8_t kPortHigh = 3;

// The chip's 4-bit commands.
inline constexpr std::uint8_t kCore = 0x0;
inline constexpr std::uint8_t kShiftOutTablat = 0x2;
inline constexpr std::uint8_t kTableReadPostInc = 0x9;
inline constexpr std::uint8_t kTableWrite = 0xC;
inline constexpr std::uint8_t kTableWritePostInc2 = 0xD;
inline constexpr std::uint8_t kTableWriteProgram = 0xF;

}  // namespace zelvar::pic18
