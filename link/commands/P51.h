#pragma once
// Command bytes and data-line modes of the 8051 parallel designs ("zor5103.bit" beside its EPROM
// logic, "zor5103at51plcc44.bit"): port 0 the chip's P1 (A0..A7), the data byte onto P0, samples
// of P0, and the waits between strobes. Bytes the programmer itself defines (26 the 1 ms wait,
// 27 the settle wait, 32 the 256-byte block read) are in link/commands/Programmer.h.
#include <cstdint>

namespace zelvar::p51 {

inline constexpr std::uint8_t kCmdStrobeStep = 24;  // one step of a data strobe's length
inline constexpr std::uint8_t kCmdWait100us = 25;
inline constexpr std::uint8_t kCmdLongWait = 28;  // the erase and page-program wait
inline constexpr std::uint8_t kCmdWait50us = 29;
inline constexpr std::uint8_t kCmdDataByte = 33;    // the byte on P0 for the next strobe
inline constexpr std::uint8_t kCmdSampleData = 34;  // one sample of P0 into the next reply byte
// The 20-pin parts' data port, their P1: a byte onto it, and one sample of it (register 25 at 9).
inline constexpr std::uint8_t kCmdSample20 = 37;
inline constexpr std::uint8_t kCmdPort20Byte = 38;
// The same port as the sets seated from socket pin 11 name it.
inline constexpr std::uint8_t kCmdSamplePort20 = kCmdSample20;
inline constexpr std::uint8_t kCmdDataByte20 = kCmdPort20Byte;

// Command 14 on register 29 with a socket pin and a limit in ms: waits until the chip shows
// ready (high) on that pin, at most the limit.
inline constexpr std::uint8_t kRegWaitReady = 29;
inline constexpr std::uint8_t kWaitReadyLimitMs = 20;

// Register-25 data-line modes.
inline constexpr std::uint8_t kBusDrive = 15;
inline constexpr std::uint8_t kBusRead = 7;
inline constexpr std::uint8_t kBusRead20 = 9;  // the 20-pin port released

}  // namespace zelvar::p51
