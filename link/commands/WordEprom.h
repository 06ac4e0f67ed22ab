#pragma once
// Command bytes and registers of the 16-bit EPROM designs ("at27c2048dip40.bit" and kin) that
// the "I27CX" set loads: FPGA register 18 sets one control line (n low, n + 128 high), registers
// 21 to 23 take the byte address. Bytes the programmer itself defines are in
// link/commands/Programmer.h.
#include <cstdint>

namespace zelvar::word_eprom {

inline constexpr std::uint8_t kCmdWait100us = 25;
inline constexpr std::uint8_t kCmdPowerUpWait = 28;  // after VCC comes on: 10 µs
inline constexpr std::uint8_t kCmdWait10us = kCmdPowerUpWait;
// With n: n x 64 bytes from the current address on.
inline constexpr std::uint8_t kCmdReadWords = 65;
inline constexpr std::uint8_t kCmdPutWord = 69;  // with the low and the high byte
inline constexpr std::uint8_t kCmdNextWord = 70;

inline constexpr std::uint8_t kLineRegister = 18;
inline constexpr std::uint8_t kAddressRegister0 = 21;  // 21, 22, 23: address bits 0-7, 8-15, 16-23

}  // namespace zelvar::word_eprom
