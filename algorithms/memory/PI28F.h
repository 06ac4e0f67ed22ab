#pragma once
// "PI28F": Intel-style 12 V bulk-erase flash (28F256 to 28F040, 28F004/008), VPP 12 V on pin 5,
// programmed with the 0x40 set-up command and erased by up to 101 pulses with erase verify.
#include <array>
#include <span>

#include "algorithms/memory/FlashSet.h"

namespace zelvar::memory {

class PI28F final : public FlashSetOf<PI28F> {
 public:
  static constexpr std::uint64_t kPins6To36No34 = SocketPins(6, 36, 34);
  // Rows 7 to 10 are unused slots; the device lists name rows 11 to 15.
  static constexpr std::array<FlashType, 16> kTypes = {{
      {.name = "???"},
      {.name = "i28f256", .lastAddress = 0x7FFF, .eraseVppPin = 5},
      {.name = "i28f257", .lastAddress = 0x7FFF, .eraseVppPin = 5},
      {.name = "i28f512",
       .lastAddress = 0xFFFF,
       .eraseVppPin = 5,
       .contactMask = SocketPins(5, 5) | SocketPins(7, 36, 34)},
      {.name = "i28f010", .lastAddress = 0x1FFFF, .eraseVppPin = 5, .contactMask = kPins6To36No34},
      {.name = "i28f020", .lastAddress = 0x3FFFF, .eraseVppPin = 5, .contactMask = kPins6To36No34},
      {.name = "i28f040", .lastAddress = 0x7FFFF, .eraseVppPin = 5},
      {},
      {},
      {},
      {},
      {.name = "28f004 BX-T", .lastAddress = 0x7FFFF, .eraseVppPin = 5},
      {.name = "28f004 Bx-B", .lastAddress = 0x7FFFF, .eraseVppPin = 5},
      {.name = "28f008 Bx-T ", .lastAddress = 0xFFFFF, .eraseVppPin = 5},
      {.name = "28f008 Bx-B ", .lastAddress = 0xFFFFF, .eraseVppPin = 5},
      {.name = "28f008SA", .lastAddress = 0xFFFFF, .eraseVppPin = 5},
  }};
  static constexpr FlashPolicy kPolicy{.vccFloor = 2500,
                                       .vppMillivolts = 12000,
                                       .write = FlashRange::Chosen,
                                       .verify = FlashRange::Chosen};

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",     "21 Erase",  "22 Blank",        "23 Write",
      "24 Verify",  "$DisTool:", "25,26,29,30,31,", "$Gridw:Addr space",
      "Addr start", "0000",      "Addr end",        "0FFFFF",
      "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  std::uint8_t WriteVppPin() const override { return Type().eraseVppPin; }
  void QueueProgramByte(std::uint8_t data, const Program& p) override;
  static constexpr int kOwnOps[] = {kOpErase, kOpReadId};
  std::span<const int> OwnOperations() const override { return kOwnOps; }
  void Erase() override;
};

}  // namespace zelvar::memory
