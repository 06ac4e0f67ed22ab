#pragma once
// The command bytes and FPGA registers of the 16-bit EPROM designs ("at27c2048dip40.bit",
// "at27c4096dip40.bit"), named for the simulator on its own.
#include <cstdint>

namespace zelvar::sim::word_eprom {

enum Op : std::uint8_t {
  kWait100us = 25,
  kSettle10us = 28,
  kReadWords = 65,  // n: n x 64 bytes from the address on
  kPutWord = 69,    // low byte, high byte
  kNextWord = 70,
};

inline constexpr std::uint8_t kLineRegister = 18;  // line n low, n + 128 high
inline constexpr std::uint8_t kAddressLow = 21;    // 21..23: the byte address
inline constexpr std::uint8_t kAddressHigh = 23;
inline constexpr int kLineByte = 1;
inline constexpr int kLineCe = 2;
inline constexpr int kLineOe = 3;
inline constexpr int kLinePgm = 4;

}  // namespace zelvar::sim::word_eprom
