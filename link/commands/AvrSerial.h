#pragma once
// Command bytes and lines of the AVR high-voltage serial designs ("Atiny12.bit", "Atiny15.bit" and
// their "std" forms): line 5 of FPGA register 18 rising shifts the instruction byte on port 0 and
// the data byte on port 1 into the chip; command 2 samples what the chip shifted out.
#include <cstdint>

namespace zelvar::avr_serial {

inline constexpr std::uint8_t kLineRegister = 18;
inline constexpr std::uint8_t kLineHigh = 0x80;
inline constexpr std::uint8_t kLineSci = 4;    // the serial clock's level between frames
inline constexpr std::uint8_t kLineFrame = 5;  // rising: one instruction frame

inline constexpr std::uint8_t kCmdSampleSdo = 2;
inline constexpr std::uint8_t kCmdInstructionWait = 25;
inline constexpr std::uint8_t kCmdTick = 26;
inline constexpr std::uint8_t kCmdCycleWait = 28;

}  // namespace zelvar::avr_serial
