#pragma once
// The command bytes of the byte-wide memory design ("zor5103.bit"), named for the simulator on
// its own, apart from the names the sets use.
#include <cstdint>

namespace zelvar::sim::zor5103 {

enum Op : std::uint8_t {
  kReadBus = 3,  // the data bus once, as a reply byte
  kPort1 = 17,   // value: A0..A7, bit-reversed
  kPort2 = 18,   // value: the data bus
  kPort3 = 19,   // value: bits 2 to 4 on socket pins 28, 29 and 31
  kWait100us = 25,
  kWait1ms = 26,
  kErasePulse = 28,  // 100 ms
  kReadBlock = 39,   // 1024 bytes from the address counter on
  kNextAddress = 40,
  kSettle = 27,      // the design's settling wait, 1 ms
  kUnlock5555 = 41,  // value: the data byte of a write cycle at 0x5555
  kUnlock2AAA = 42,  // value: the data byte of a write cycle at 0x2AAA
  kStrobe = 43,      // WE on socket pin 35 low and high
  kStrobe33 = 44,
  kStrobe5 = 45,
  kStrobe7 = 46,
  // value: a byte load at the address counter with CE# (socket pin 26) pulsed low while the set
  // holds the chip's WE# low, then the counter steps: the page loads of the page-write parts.
  kPageLoad = 83,
};

// Bus modes (programmer register 25) the design follows.
inline constexpr std::uint8_t kBusRead = 12;

}  // namespace zelvar::sim::zor5103
