#pragma once
// Command bytes and lines of the AVR serial-programming designs ("ATdip20spi", "ATmeg161spi"):
// the programmer shifts whole bytes to and from the chip, FPGA register 18 drives SCK's idle level
// and RESET.
#include <cstdint>

namespace zelvar::avr_spi {

inline constexpr std::uint8_t kLineSck = 2;    // SCK's level between shifts
inline constexpr std::uint8_t kLineReset = 3;  // the chip's RESET

inline constexpr std::uint8_t kCmdShiftOut = 56;   // value: the byte shifted to the chip
inline constexpr std::uint8_t kCmdShiftIn = 57;    // the byte the chip returns, into the reply
inline constexpr std::uint8_t kCmdOutBits = 74;    // value: bits a shift sends
inline constexpr std::uint8_t kCmdInBits = 75;     // value: bits a shift receives
inline constexpr std::uint8_t kCmdTick = 26;       // one 1.25 ms wait
inline constexpr std::uint8_t kCmdLongTick = 27;   // 2.5 ms
inline constexpr std::uint8_t kCmdCycleWait = 28;  // 10 ms

}  // namespace zelvar::avr_spi
