#pragma once
// Command bytes, registers and control lines of the PIC16C5x parallel program/verify designs
// ("pic16c54dip18.bit", "pic16c57dip28.bit"): the host puts a 12-bit word into two FPGA
// registers, moves the chip's control inputs through the register-18 lines, and samples the
// word the chip drives with two commands that each add one reply byte.
#include <cstdint>

namespace zelvar::pic16c5x {

inline constexpr std::uint8_t kRegDataLow = 16;   // bits 0-3 of the word
inline constexpr std::uint8_t kRegDataHigh = 17;  // bits 4-11 of the word
inline constexpr std::uint8_t kRegLines = 18;     // line n: n cleared, n | 0x80 set

inline constexpr std::uint8_t kCmdSampleLow = 1;   // the word's bits 0-7 into the reply
inline constexpr std::uint8_t kCmdSampleHigh = 2;  // the word's bits 8-11 into the reply
inline constexpr std::uint8_t kCmdPulseWait = 25;  // one 100 us step of a programming pulse
inline constexpr std::uint8_t kCmdLongWait = 27;   // a longer wait: settle, or a short pulse

inline constexpr std::uint8_t kLineRead = 1;     // set: the design lets the data pins go
inline constexpr std::uint8_t kLineProgram = 2;  // the programming pulse, active low
inline constexpr std::uint8_t kLineAddress = 3;  // high then low: the next word
inline constexpr std::uint8_t kLineRelease = 4;  // cleared: the control inputs held low

}  // namespace zelvar::pic16c5x
