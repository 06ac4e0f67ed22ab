#pragma once
// Command bytes and control lines of the AVR high-voltage parallel designs ("atmega8dip28",
// "at90s8515dip40", "at90s8515plcc44", "at90s8535dip40", ...): FPGA register 18 drives ten control
// lines (n low, n | 0x80 high), port 0 is the chip's data port, and the waits between the steps of
// a programming cycle are command bytes the logic carries out in turn.
#include <cstdint>

namespace zelvar::avr_parallel {

inline constexpr std::uint8_t kLineRegister = 18;  // FPGA register of the control lines
inline constexpr std::uint8_t kLineHigh = 0x80;

// The control lines.
inline constexpr std::uint8_t kLineReadBack = 1;  // set: the data port is released to the chip
inline constexpr std::uint8_t kLineOe = 2;        // active low
inline constexpr std::uint8_t kLineWr = 3;        // active low
inline constexpr std::uint8_t kLineBs1 = 4;
inline constexpr std::uint8_t kLineXa0 = 5;
inline constexpr std::uint8_t kLineXa1 = 6;
inline constexpr std::uint8_t kLineXtal1 = 7;
inline constexpr std::uint8_t kLineMode = 8;  // cleared before VPP, set after it
inline constexpr std::uint8_t kLinePagel = 9;
inline constexpr std::uint8_t kLineBs2 = 10;

inline constexpr std::uint8_t kCmdSample = 1;       // the data port into the next reply byte
inline constexpr std::uint8_t kCmdClockSample = 2;  // the XTAL1 line's level into the next reply
inline constexpr std::uint8_t kCmdPowerWait = 25;   // lets the supply settle before the next step
inline constexpr std::uint8_t kCmdTick = 26;        // one wait tick of a programming cycle
inline constexpr std::uint8_t kCmdLongTick = 27;    // the longer tick some sets wait fuses with
inline constexpr std::uint8_t kCmdCycleWait = 28;   // covers a chip erase or the mode's start-up
inline constexpr std::uint8_t kCmdLineSettle = 52;  // lets the lines settle before a load

}  // namespace zelvar::avr_parallel
