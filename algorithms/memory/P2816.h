#pragma once
// "P2816": 2816-class byte-write EEPROMs (2816A, 2817A, 2864A, 28C16 to 28C256), one byte a write
// cycle with the wait its "Delay" radio names, and the chip clear (12 V on OE#) offered when the
// line gives "era=".
#include <array>

#include "algorithms/memory/PageWriteSet.h"

namespace zelvar::memory {

class P2816 final : public PageWriteSetOf<P2816> {
 public:
  static constexpr std::uint64_t kPins9To32 = SocketPins(9, 32);
  static constexpr std::uint64_t kPins8To34No32 = SocketPins(8, 31) | SocketPins(33, 34);
  // The 28-pin 2K parts: pins 3 to 28 but the free pin 26, so WE# and VCC are checked too.
  static constexpr std::uint64_t kPins9To34No32 = SocketPins(9, 34, 32);
  // Row 1, the 21 V 2816, is written with VPP pulses this set does not give: set-up refuses it.
  static constexpr std::array<PageType, 9> kTypes = {{
      {.name = "???"},
      {.name = "2816    21v",
       .lastAddress = 0x7FF,
       .pageMask = 63,
       .vccPin = 32,
       .vppPin = 29,
       .wePin = kNoWritePin,
       .vppMillivolts = 21000,
       .contactMask = kPins9To32},
      {.name = "2816A   5v",
       .lastAddress = 0x7FF,
       .pageMask = 63,
       .vccPin = 32,
       .wePin = 29,
       .contactMask = kPins9To32},
      {.name = "28c16   5v",
       .lastAddress = 0x7FF,
       .pageMask = 63,
       .vccPin = 32,
       .wePin = 29,
       .contactMask = kPins9To32},
      // The 28-pin 2817A and 28C17: WE# on pin 27 and VCC on 28 with the rest; RDY/BUSY (pin 1),
      // which the set does not read, and the unconnected pins 2 and 26 stay out.
      {.name = "2817A   5v",
       .lastAddress = 0x7FF,
       .pageMask = 63,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = kPins9To34No32},
      {.name = "28c17   5v",
       .lastAddress = 0x7FF,
       .pageMask = 63,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = kPins9To34No32},
      {.name = "2864A   5v",
       .lastAddress = 0x1FFF,
       .pageMask = 63,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = kPins8To34No32},
      {.name = "28c64   5v",
       .lastAddress = 0x1FFF,
       .pageMask = 63,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = kPins8To34No32},
      // Pins 1 and 26, free on the 28C64, are A14 and A13 of the 28C256.
      {.name = "28c256   5v",
       .lastAddress = 0x7FFF,
       .pageMask = 63,
       .vccPin = 34,
       .wePin = 33,
       .contactMask = SocketPins(7, 34)},
  }};
  static constexpr PagePolicy kPolicy{
      .vccFloor = 0, .readStopsAtRangeEnd = false, .erase = PageErase::OeHigh, .byteWrite = true};
  static constexpr int kOperations[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpRead};

 private:
  static constexpr int kWriteOnly[] = {kOpWrite, kOpVerify, kOpRead};
  static bool EraseOffered();
  std::span<const int> Operations() const override {
    if (EraseOffered()) return kOperations;
    return kWriteOnly;
  }
  std::span<const char* const> DescribeList() const override;
};

}  // namespace zelvar::memory
