#pragma once
// Command bytes of the MDT serial-command designs ("mdt10p*.bit"). FPGA register 18 sets the
// design's lines (n low, n + 128 high): line 2 frames a command (low: a new frame, high: the
// frame taken from ports 0 and 1), line 5 gives its length (high: five command bits and eight
// data bits, low: the five command bits alone), line 3 lets the design drive the chip's clock and
// data pins (low: both released). Command 29 clocks the next eight bits of the frame out, least
// significant first; command 1 puts the eight data bits the chip drove during the last frame into
// the next reply byte.
#include <cstdint>

namespace zelvar::mdt_serial {

inline constexpr std::uint8_t kCmdSample = 1;
inline constexpr std::uint8_t kCmdTick = 26;  // one wait tick (1 ms)
inline constexpr std::uint8_t kCmdWait = 27;  // a longer wait (10 ms)
inline constexpr std::uint8_t kCmdShift = 29;

inline constexpr std::uint8_t kFrameLine = 2;
inline constexpr std::uint8_t kDriveLine = 3;
inline constexpr std::uint8_t kLengthLine = 5;

// The chip's five-bit commands, as the host names them before their bits are reversed.
inline constexpr std::uint8_t kChipLoadLow = 2;      // data: bits 0-6 of the word
inline constexpr std::uint8_t kChipBegin = 4;        // the address to word 0 of the chosen space
inline constexpr std::uint8_t kChipReadLow = 6;      // data phase: start bit, bits 0-6
inline constexpr std::uint8_t kChipSpace = 10;       // data: the space (0 code, 1 configuration)
inline constexpr std::uint8_t kChipProgram = 12;     // programming pulse starts
inline constexpr std::uint8_t kChipLoadHigh = 18;    // data: bits 7-13 of the word
inline constexpr std::uint8_t kChipNext = 20;        // the address to the next word
inline constexpr std::uint8_t kChipReadHigh = 22;    // data phase: start bit, bits 7-13
inline constexpr std::uint8_t kChipProgramEnd = 28;  // programming pulse ends

}  // namespace zelvar::mdt_serial
