#pragma once
// Command bytes, registers and line codes of the large-flash designs the "P29F640" set loads
// (one design behind every adapter bitstream). The design runs the chip's bus cycles: the
// address stands in FPGA registers 21 to 23 in the chip's own unit (words on 16-bit adapters),
// register 18 sets a control line or runs one command cycle.
#include <cstdint>

namespace zelvar::p29f640 {

inline constexpr std::uint8_t kAddressRegister = 21;  // 21, 22, 23: bits 0-7, 8-15, 16-23

// Register-18 lines: n | 0x80 sets, n clears.
inline constexpr std::uint8_t kLineBusRead = 1;  // set: the design's data bus listens
inline constexpr std::uint8_t kLineChipEnable = 2;
inline constexpr std::uint8_t kLineOutputEnable = 3;
inline constexpr std::uint8_t kLineWriteEnable = 4;
inline constexpr std::uint8_t kLineReset = 5;
inline constexpr std::uint8_t kLineSix = 6;  // set when "cm3=" is 3
inline constexpr std::uint8_t kLineSet = 0x80;

// Register-18 command cycles: (code << 4) | 7.
inline constexpr std::uint8_t kCycleAddress = 0;  // the registers' address back on the pins
inline constexpr std::uint8_t kCycleUnlock1 = 1;
inline constexpr std::uint8_t kCycleUnlock2 = 2;
inline constexpr std::uint8_t kCycleEraseSetup = 4;
inline constexpr std::uint8_t kCycleChipErase = 5;
inline constexpr std::uint8_t kCycleAutoselect = 7;
constexpr std::uint8_t CycleCode(std::uint8_t c) {
  return static_cast<std::uint8_t>(c << 4 | 7);
}

inline constexpr std::uint8_t kCmdReadAtAddress = 1;  // one read of the address: a reply byte
inline constexpr std::uint8_t kCmdReadBus = 3;        // the data bus once: a reply byte
inline constexpr std::uint8_t kCmdPulseWait = 26;     // 1 ms
inline constexpr std::uint8_t kCmdEraseWait = 28;     // 100 ms
inline constexpr std::uint8_t kCmdProgramWait = 64;   // models 6200 and up
inline constexpr std::uint8_t kCmdReadBlocks = 65;    // n: n x 64 bytes from the address on
inline constexpr std::uint8_t kCmdProgramWord = 66;   // lo, hi
inline constexpr std::uint8_t kCmdProgramByte = 67;   // b
inline constexpr std::uint8_t kCmdWriteCycle = 69;    // lo, hi: one bus write at the address

}  // namespace zelvar::p29f640
