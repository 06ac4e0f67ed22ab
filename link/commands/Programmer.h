#pragma once
// Command bytes of the programmer itself, whatever bitstream the FPGA holds. Bytes 26, 43, 53 and
// 54 the programmer passes to the loaded design; their names give what the EPROM designs do with
// them. A design's own bytes have their own header beside this one.
#include <cstdint>

namespace zelvar {

inline constexpr std::uint8_t kCmdPadding = 0;
inline constexpr std::uint8_t kCmdReadReply = 7;
inline constexpr std::uint8_t kCmdPinHigh = 8;
inline constexpr std::uint8_t kCmdPinLow = 9;
inline constexpr std::uint8_t kCmdWriteFpgaRegister = 10;
inline constexpr std::uint8_t kCmdReadInput = 11;
inline constexpr std::uint8_t kCmdReadInfo = 13;
inline constexpr std::uint8_t kCmdSetRegister = 14;
inline constexpr std::uint8_t kCmdWritePort0 = 16;  // ports 0 to 5: 16 + the port
inline constexpr std::uint8_t kCmdProbePin = 23;
// Also the pause before a one-byte power status read.
inline constexpr std::uint8_t kCmdWait1ms = 26;
inline constexpr std::uint8_t kCmdSettle = 27;
inline constexpr std::uint8_t kCmdReadBlock = 32;
inline constexpr std::uint8_t kCmdStrobe = 43;
inline constexpr std::uint8_t kCmd53 = 53;
inline constexpr std::uint8_t kCmd54 = 54;

}  // namespace zelvar
