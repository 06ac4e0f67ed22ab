#pragma once
// The JTAG designs' own command bytes, named on the simulator's side.
#include <cstdint>

namespace zelvar::sim::jtag_tap {

inline constexpr std::uint8_t kTapShift = 79;     // and a sub-command
inline constexpr std::uint8_t kTapSubIr = 11;     // walk to Shift-IR
inline constexpr std::uint8_t kTapSubDr = 12;     // walk to Shift-DR
inline constexpr std::uint8_t kTapSubBytes = 13;  // n: the next n bytes are whole data bytes
inline constexpr std::uint8_t kTapSubLast = 14;   // n: the next byte holds the shift's last n bits
inline constexpr std::uint8_t kTapSubEnd = 15;    // x: Update, then Run-Test/Idle
inline constexpr std::uint8_t kTapReply = 7;  // the programmer's reply: the read-back goes in it
inline constexpr std::uint8_t kTapDrop = 78;
inline constexpr std::uint8_t kTapWait = 26;
inline constexpr std::uint8_t kTapSettle = 27;
inline constexpr std::uint8_t kTapAfterPulse = 29;
inline constexpr std::uint8_t kTapEraseClose = 25;
inline constexpr std::uint8_t kTapLockClose = 28;

}  // namespace zelvar::sim::jtag_tap
