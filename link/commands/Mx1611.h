#pragma once
// Command bytes of the "mx1611sop44" design that the "MX29X161X" set loads: the large-flash
// register layout (link/commands/P29F640.h: address in FPGA registers 21 to 23, lines and
// command cycles on register 18), with the chip held in byte mode, so that the address registers
// count bytes. A command cycle or a command write puts its address and data on the pins; the
// set strobes WE# (line 4) itself.
#include <cstdint>

namespace zelvar::mx1611 {

// Register-18 command cycles: (code << 4) | 7.
inline constexpr std::uint8_t kCycleAddress = 0;  // the registers' address back on the pins
inline constexpr std::uint8_t kCycleUnlock1 = 1;  // 0xAA at 0xAAAA
inline constexpr std::uint8_t kCycleUnlock2 = 2;  // 0x55 at 0x5554
inline constexpr std::uint8_t kCycleProgram = 3;  // 0xA0 at 0xAAAA
inline constexpr std::uint8_t kCycleEraseSetup = 4;
inline constexpr std::uint8_t kCycleChipErase = 5;
inline constexpr std::uint8_t kCycleAutoselect = 7;

// The command addresses of the byte-mode bus (word 0x5555 and 0x2AAA).
inline constexpr std::uint32_t kAddress5555 = 0xAAAA, kAddress2AAA = 0x5554;

inline constexpr std::uint8_t kCmdWait1ms = 26;
inline constexpr std::uint8_t kCmdReadBlocks = 65;   // n: n x 64 bytes from the address on
inline constexpr std::uint8_t kCmdCommandData = 67;  // b: the data of a command write
inline constexpr std::uint8_t kPortPageData = 3;     // a page byte onto the data bus
inline constexpr std::uint8_t kPortNextAddress = 0;  // steps the address registers by one

inline constexpr std::uint8_t kUnprotectSetup = 0x60, kChipUnprotect = 0x40;

}  // namespace zelvar::mx1611
