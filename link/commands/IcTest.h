#pragma once
// Command bytes and registers of the IC tester's design "ictest.bit": ports 1 to 3 reach the
// socket pins of a logic chip at the bottom of the socket. Bytes the programmer itself defines are
// in link/commands/Programmer.h.
#include <cstdint>

namespace zelvar::ictest {

// Ports 1, 2 and 3 read back from the pins, one reply byte each.
inline constexpr std::uint8_t kCmdReadPort1 = 2;
inline constexpr std::uint8_t kCmdReadPort2 = 3;
inline constexpr std::uint8_t kCmdReadPort3 = 4;
// FPGA register whose write puts the latched port values on the pins.
inline constexpr std::uint8_t kApplyPortsRegister = 21;

}  // namespace zelvar::ictest
