#pragma once
// Command bytes of the EM78P designs. "em78p156.bit", "em78p447.bit" and "em78p458.bit" drive six
// lines through FPGA register 29 (n low, n + 128 high) and shift words bit by bit: command 53
// (value, n) shifts the top n bits of the value out, most significant first, command 54 (n)
// shifts n bits in into the next reply byte. "em78p451.bit" drives four lines through FPGA
// register 18, a 7-bit bus on port 0, and command 1 samples that bus into the next reply byte.
#include <cstdint>

namespace zelvar::em78p {

inline constexpr std::uint8_t kCmdSample = 1;
inline constexpr std::uint8_t kCmdPulse = 25;     // the programming pulse (1 ms)
inline constexpr std::uint8_t kCmdTick = 26;      // one wait tick (1 ms)
inline constexpr std::uint8_t kCmdWait = 27;      // a settling wait (10 ms)
inline constexpr std::uint8_t kCmdLongWait = 28;  // a longer wait (10 ms)
inline constexpr std::uint8_t kCmdShiftOut = 53;
inline constexpr std::uint8_t kCmdShiftIn = 54;

// The shift designs' lines (register 29).
inline constexpr std::uint8_t kDataLine = 1;
inline constexpr std::uint8_t kShiftClockLine = 2;
inline constexpr std::uint8_t kProgramLine = 3;
inline constexpr std::uint8_t kResetLine = 4;
inline constexpr std::uint8_t kReadLine = 5;   // low: the chip drives the data line
inline constexpr std::uint8_t kClockLine = 6;  // two pulses step the address

// The 451 design's lines (register 18).
inline constexpr std::uint8_t kBusClockLine = 1;    // two pulses step the address
inline constexpr std::uint8_t kBusHalfLine = 2;     // low: bits 0-6, high: bits 7-12
inline constexpr std::uint8_t kBusReadLine = 3;     // low: the chip drives the bus
inline constexpr std::uint8_t kBusProgramLine = 4;  // the programming strobe

}  // namespace zelvar::em78p
