#pragma once
// Command bytes the "F640" set adds to the large-flash designs (link/commands/P29F640.h), and
// the Intel command-set codes it writes with the bus write cycle (command 69).
#include <cstdint>

namespace zelvar::f640 {

inline constexpr std::uint8_t kCmdPulseSetting = 68;      // w: the program pulse, once at set-up
inline constexpr std::uint8_t kCmdProgramIntelWord = 71;  // lo, hi: 0x40 then the word
inline constexpr std::uint8_t kCmdProgramIntelByte = 72;  // b: 0x40 then the byte

inline constexpr std::uint8_t kBlockErase = 0x20;
inline constexpr std::uint8_t kConfirm = 0xD0;
inline constexpr std::uint8_t kReadStatus = 0x70;
inline constexpr std::uint8_t kClearStatus = 0x50;
inline constexpr std::uint8_t kReadArray = 0xFF;
inline constexpr std::uint8_t kIdentifier = 0x90;
inline constexpr std::uint8_t kClearLockBits = 0x60;  // with 0xD0; with 0x01 or 0x2F it sets one
inline constexpr std::uint8_t kSetLockBit = 0x2F;

}  // namespace zelvar::f640
