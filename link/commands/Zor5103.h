#pragma once
// Command bytes and bus modes of the "zor5103.bit" design, which the byte-wide EPROM sets and the
// signature read load: port 1 the bit-reversed A0..A7 with an address counter, port 2 the data
// bus. Bytes the programmer itself defines are in link/commands/Programmer.h.
#include <cstdint>

namespace zelvar::zor5103 {

inline constexpr std::uint8_t kCmdReadBus = 3;  // the data bus into the next reply byte
inline constexpr std::uint8_t kCmdWait100us = 25;
// The 50 µs wait of the 8051 parallel logic the design also carries.
inline constexpr std::uint8_t kCmdWait50us = 29;
// The erase pulse, also the design's long wait (100 ms); command 27 waits 1 ms.
inline constexpr std::uint8_t kCmdErasePulse = 28;
// 1024 bytes from the current address on, counting the address up.
inline constexpr std::uint8_t kCmdReadBlock1k = 39;
inline constexpr std::uint8_t kCmdNextAddress = 40;
// A write cycle of the data byte that follows to 0x5555 (41) or 0x2AAA (42) on A0..A14; the
// address the set put out comes back after it.
inline constexpr std::uint8_t kCmdUnlock5555 = 41;
inline constexpr std::uint8_t kCmdUnlock2AAA = 42;
// Write strobes: socket pin 35 is kCmdStrobe (43) in link/commands/Programmer.h; 44 strobes pin
// 33, 45 pin 5, 46 pin 7.
inline constexpr std::uint8_t kCmdStrobePin33 = 44;
inline constexpr std::uint8_t kCmdStrobePin5 = 45;
inline constexpr std::uint8_t kCmdStrobePin7 = 46;
// A byte load of the data byte that follows at the current address, the chip's WE# held low by
// the set and CE# pulsed by the design, then the address counter steps: a page's bytes.
inline constexpr std::uint8_t kCmdPageLoad = 83;

// Register-25 bus modes.
inline constexpr std::uint8_t kReadMode = 12;
inline constexpr std::uint8_t kWriteMode = 15;

}  // namespace zelvar::zor5103
