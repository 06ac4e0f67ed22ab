#pragma once
// Command bytes of the PIC16 in-circuit serial programming designs ("pic16dip40.bit",
// "pic16dip28.bit", "pic16dip18.bit", "pic16dip14.bit", "pic16dip14std.bit", "pic16dip08.bit",
// "pic16isp.bit", "pic16plcc44.bit", "pic16qfp44.bit"): the design clocks a 6-bit chip command,
// with or without a 14-bit data word, out on the clock and data lines, and collects a word the
// chip sends back into the next reply, low byte first. The programmer's settle (27) lasts a
// programming step's settle in these designs.
#include <cstdint>

namespace zelvar::pic_icsp {

inline constexpr std::uint8_t kCmdTick = 26;      // one wait tick
inline constexpr std::uint8_t kCmdLongWait = 28;  // the erase wait
inline constexpr std::uint8_t kCmdSend = 49;      // chip command, no data
inline constexpr std::uint8_t kCmdSendRead = 50;  // chip command, then a word into the reply
inline constexpr std::uint8_t kCmdSendData = 51;  // chip command, then a 16-bit data field
inline constexpr std::uint8_t kCmdPowerUp = 52;   // clock and data held low for the mode entry

inline constexpr std::uint8_t kModeRegister = 20;  // FPGA register 20: the ICSP lines' mode
inline constexpr std::uint8_t kModeIcsp = 0x84;

}  // namespace zelvar::pic_icsp
