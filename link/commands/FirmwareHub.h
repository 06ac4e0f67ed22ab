#pragma once
// Command bytes, register-18 lines and cycle codes of the firmware-hub design "i82802.bit". The
// design runs the chip's multiplexed bus itself: the address stands in ports 3 to 5, the data in
// port 0, and register 18 sets one line (n + 128 high, n low) or puts one half of an address on
// the chip's address pins (the cycle codes).
#include <cstdint>

namespace zelvar::fwh {

// Register-18 lines.
inline constexpr std::uint8_t kLineBusRead = 1;  // high: the design's data bus listens
inline constexpr std::uint8_t kLineRowColumn = 2;
inline constexpr std::uint8_t kLineOutputEnable = 3;
inline constexpr std::uint8_t kLineWriteEnable = 4;
inline constexpr std::uint8_t kLineParallelMode = 5;
inline constexpr std::uint8_t kLineReset = 6;
inline constexpr std::uint8_t kLineDrivers = 7;
inline constexpr std::uint8_t kLineHigh = 0x80;

// Register-18 cycle codes: one half of an address on the chip's address pins.
inline constexpr std::uint8_t kColumnOfPorts = 9;
inline constexpr std::uint8_t kRowOfPorts = 25;
inline constexpr std::uint8_t kColumnOf5555 = 41;
inline constexpr std::uint8_t kRowOf5555 = 57;
inline constexpr std::uint8_t kColumnOf2AAA = 73;
inline constexpr std::uint8_t kRowOf2AAA = 89;

// Address ports: bits 0-7, 8-15 and 16-23.
inline constexpr std::uint8_t kDataPort = 0;
inline constexpr std::uint8_t kAddressPortLow = 3;

inline constexpr std::uint8_t kCmdProgramStep = 24;   // the byte-program wait, then address + 1
inline constexpr std::uint8_t kCmdEraseWait = 28;     // 100 ms
inline constexpr std::uint8_t kCmdReadBlock1k = 55;   // 1024 bytes from the address on
inline constexpr std::uint8_t kCmdJedecProgram = 60;  // value: the byte, programmed at the address
inline constexpr std::uint8_t kCmdIntelProgram = 61;  // value: the byte; programs, waits, steps
inline constexpr std::uint8_t kCmdAddressedWrite = 76;  // value: one write cycle at the address

}  // namespace zelvar::fwh
