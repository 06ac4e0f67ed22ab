#pragma once
// Command bytes of the I2C designs "i2c24c.bit" (chip in the socket) and "i2c24isp.bit" (chip on
// the in-system header). Bus lines are FPGA register 18 lines: bit 7 of the value sets the line
// high, the low bits name it.
#include <cstdint>

namespace zelvar::i2c24c {

inline constexpr std::uint8_t kCmdStart = 30;     // start condition
inline constexpr std::uint8_t kCmdAckClock = 31;  // SDA released, one clock pulse
inline constexpr std::uint8_t kCmdSendByte = 56;  // byte: shifted out on SDA, bit 7 first
inline constexpr std::uint8_t kCmdReadByte = 57;  // eight clocks in: the next reply byte
// Bits a shift moves (in and out); the set-up gives 8 to each after the design is loaded.
inline constexpr std::uint8_t kCmdShiftInBits = 74;
inline constexpr std::uint8_t kCmdShiftOutBits = 75;

inline constexpr std::uint8_t kLineSda = 1;
inline constexpr std::uint8_t kLineScl = 2;
inline constexpr std::uint8_t kLineWriteProtect = 3;  // chip pin 7

}  // namespace zelvar::i2c24c
