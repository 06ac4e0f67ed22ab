#pragma once
// Command bytes of the MDT parallel design ("mdt2000.bit"): FPGA register 18 sets a line (socket
// pin n, n + 128 high); line 63 is the design's bus direction (high: the data port pins are inputs
// so the chip may drive them). Ports 0 and 1 drive the 7-bit data bus of the 18-pin and 28-pin
// seats; commands 1 and 2 sample those pins into the next reply byte.
#include <cstdint>

namespace zelvar::mdt2000 {

inline constexpr std::uint8_t kCmdSamplePort0 = 1;
inline constexpr std::uint8_t kCmdSamplePort1 = 2;
inline constexpr std::uint8_t kCmdTick = 26;  // one programming-pulse tick (1 ms)
inline constexpr std::uint8_t kBusDirectionLine = 63;

}  // namespace zelvar::mdt2000
