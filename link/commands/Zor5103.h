#pragma once
// Command bytes and bus modes of the "zor5103.bit" design, which the byte-wide EPROM sets and the
// signature read load: port 1 the bit-reversed A0..A7 with an address counter, port 2 the data
// bus. Bytes the programmer itself defines are in link/commands/Programmer.h.
#include <cstdint>

namespace zelvar::zor5103 {

inline constexpr std::uint8_t kCmdReadBus = 3;  // the data bus into the next reply byte
inline constexpr std::uint8_t kCmdWait100us = 25;
inline constexpr std::uint8_t kCmdErasePulse = 28;
// 1024 bytes from the current address on, counting the address up.
inline constexpr std::uint8_t kCmdReadBlock1k = 39;
inline constexpr std::uint8_t kCmdNextAddress = 40;

// Register-25 bus modes.
inline constexpr std::uint8_t kReadMode = 12;
inline constexpr std::uint8_t kWriteMode = 15;

}  // namespace zelvar::zor5103
