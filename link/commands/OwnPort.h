#pragma once
// The programmer's own port logic while no design is loaded (models 57 and 411 always): port 0
// (`WritePort`(0, b)) on socket pins 1 to 8, register 25 its direction, command 1 a sample of
// those pins into the next reply byte, register 29 (with a socket pin and a limit in ms) a wait
// until the pin reads high, and commands 25, 26 and 28 waits of 100 µs, 1 ms and 100 ms.
#include <cstdint>

namespace zelvar::own_port {

inline constexpr std::uint8_t kCmdSample = 1;
inline constexpr std::uint8_t kCmdWait100us = 25;
inline constexpr std::uint8_t kCmdWait1ms = 26;
inline constexpr std::uint8_t kCmdWait100ms = 28;
// Register-25 values: port 0 drives its byte, or lets the pins go as inputs.
inline constexpr std::uint8_t kPortDrive = 0;
inline constexpr std::uint8_t kPortInput = 1;
inline constexpr std::uint8_t kRegWaitReady = 29;
inline constexpr std::uint8_t kWaitReadyLimitMs = 20;

}  // namespace zelvar::own_port
