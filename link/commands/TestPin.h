#pragma once
// Command bytes and registers of the self-test's design "testpin.bit". Bytes the programmer
// itself defines are in link/commands/Programmer.h (the probe, command 23, among them).
#include <cstdint>

namespace zelvar::testpin {

// Programmer register whose write queues the design's identity byte ('l').
inline constexpr std::uint8_t kIdentityRegister = 37;
// Waits for the sense lines to settle after a supply switch.
inline constexpr std::uint8_t kCmdSenseSettle = 26;
// FPGA register that turns the socket's sense lines on (255) or off (0).
inline constexpr std::uint8_t kSenseRegister = 27;

}  // namespace zelvar::testpin
