#pragma once
// Command bytes of the SPI byte design ("at25spi.bit", in-system "at25isp.bit") that the SPI
// EEPROM and flash sets load. Register-18 lines: bit 7 of the value sets the line high.
#include <cstdint>

namespace zelvar::at25spi {

inline constexpr std::uint8_t kCmdShiftedByte = 1;  // the byte the last shift took in: a reply
inline constexpr std::uint8_t kCmdSendByte = 56;    // byte: out on SI, bit 7 first, SO taken in
inline constexpr std::uint8_t kCmdReadByte = 57;    // eight clocks in: the next reply byte
inline constexpr std::uint8_t kCmdShiftOutBits = 74;
inline constexpr std::uint8_t kCmdShiftInBits = 75;
inline constexpr std::uint8_t kCmdWait100ms = 28;

inline constexpr std::uint8_t kLineClock = 2;   // SCK, low between bytes
inline constexpr std::uint8_t kLineSelect = 4;  // CS#, low selects

}  // namespace zelvar::at25spi
