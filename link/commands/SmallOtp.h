#pragma once
// Command bytes of the small OTP microcontroller designs ("sn8p*", "Holtek*", "cr80px00",
// "samsung3*"): FPGA register 18 sets a line (n low, n + 128 high); ports 0 and 1 drive the data
// pins.
#include <cstdint>

namespace zelvar::small_otp {

inline constexpr std::uint8_t kCmdSample = 1;    // port-0 pins (or the shifted byte) to the reply
inline constexpr std::uint8_t kCmdSample1 = 2;   // port-1 pins to the reply
inline constexpr std::uint8_t kCmdPulse = 25;    // a programming-pulse tick
inline constexpr std::uint8_t kCmdMs = 26;       // a 1 ms tick (QueueDelayTicks)
inline constexpr std::uint8_t kCmdShort = 27;    // a short settle
inline constexpr std::uint8_t kCmdVppWait = 28;  // the wait around the mode's VPP step
inline constexpr std::uint8_t kCmdFrame = 29;    // the Samsung frame wait
inline constexpr std::uint8_t kCmdNibble = 0;    // the Holtek nibble strobe's spacer
inline constexpr std::uint8_t kCmdShift = 56;    // a byte shifted out, the byte taken in kept
inline constexpr std::uint8_t kCmdOutBits = 74;
inline constexpr std::uint8_t kCmdInBits = 75;

}  // namespace zelvar::small_otp
