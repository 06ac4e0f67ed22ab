#pragma once
// "P29F": generic 5 V 29F flash, uniform and boot-block, 32 KiB to 512 KiB.
#include <array>
#include <span>

#include "algorithms/memory/FlashSet.h"

namespace zelvar::memory {

class P29F final : public FlashSetOf<P29F> {
 public:
  static constexpr std::uint64_t kPins6To36No34 = SocketPins(6, 36, 34);
  static constexpr std::array<FlashType, 12> kTypes = {{
      {.name = "???"},
      {.name = "29f256", .lastAddress = 0x7FFF},
      {.name = "29f512", .lastAddress = 0xFFFF},
      {.name = "29f010", .lastAddress = 0x1FFFF, .contactMask = kPins6To36No34},
      {.name = "29f020", .lastAddress = 0x3FFFF, .contactMask = kPins6To36No34},
      {.name = "29f040", .lastAddress = 0x7FFFF, .contactMask = SocketPins(5, 36)},
      {.name = "29f001 BX-T ",
       .lastAddress = 0x1FFFF,
       .eraseVppPin = 5,
       .contactMask = kPins6To36No34},
      {.name = "29f001 BX-B ",
       .lastAddress = 0x1FFFF,
       .eraseVppPin = 5,
       .contactMask = kPins6To36No34},
      {.name = "29f002 Bx-T ",
       .lastAddress = 0x3FFFF,
       .eraseVppPin = 5,
       .contactMask = kPins6To36No34},
      {.name = "29f002 Bx-B ",
       .lastAddress = 0x3FFFF,
       .eraseVppPin = 5,
       .contactMask = kPins6To36No34},
      {.name = "29f004 Bx-T ",
       .lastAddress = 0x7FFFF,
       .eraseVppPin = 5,
       .contactMask = kPins6To36No34},
      {.name = "29f004 Bx-B ",
       .lastAddress = 0x7FFFF,
       .eraseVppPin = 5,
       .contactMask = SocketPins(5, 36)},
  }};
  static constexpr std::uint8_t kNoOps[] = {0, 0, 0};
  static constexpr FlashPolicy kPolicy{.vppMillivolts = 12000,
                                       .strobeTail = kNoOps,
                                       .write = FlashRange::Chosen,
                                       .verify = FlashRange::Chosen,
                                       .readStopsAtRangeEnd = true};

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",     "21 Erase",  "22 Blank",        "23 Write",
      "24 Verify",  "$DisTool:", "25,26,29,30,31,", "$Gridw:Addr space(地址范围)",
      "Addr start", "0000",      "Addr end",        "0FFFFFF",
      "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  // "tmp=" 5: VPP on socket pin 5 while erasing and writing.
  std::uint8_t WriteVppPin() const override;
  static constexpr int kOwnOps[] = {kOpErase, kOpUnProtect, kOpReadId};
  std::span<const int> OwnOperations() const override { return kOwnOps; }
  void Erase() override;
  void UnProtect() override;
};

}  // namespace zelvar::memory
