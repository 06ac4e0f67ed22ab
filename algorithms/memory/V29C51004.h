#pragma once
// "V29C51004": Mosel Vitelic V29C51 5 V flash, erased in a hundred passes, with protect and
// unprotect at 12 V; no Read ID.
#include <array>
#include <span>

#include "algorithms/memory/FlashSet.h"

namespace zelvar::memory {

class V29C51004 final : public FlashSetOf<V29C51004> {
 public:
  static constexpr std::array<FlashType, 6> kTypes = {{
      {.name = "???"},
      {.name = "No256", .lastAddress = 0x7FFF},
      {.name = "V29C51000T/B", .lastAddress = 0xFFFF, .contactMask = SocketPins(8, 34)},
      {.name = "V29C51001T/B", .lastAddress = 0x1FFFF, .contactMask = SocketPins(6, 36, 34)},
      // Pin 30 (socket pin 34) is A17 and pin 1 (socket pin 5) A18 where the part has them.
      {.name = "V29C51002T/B", .lastAddress = 0x3FFFF, .contactMask = SocketPins(6, 36)},
      {.name = "V29C51004T/B", .lastAddress = 0x7FFFF, .contactMask = SocketPins(5, 36)},
  }};
  static constexpr FlashPolicy kPolicy{.vccFloor = 1800,
                                       .vppMillivolts = 0,
                                       .initHardware = true,
                                       .write = FlashRange::Chosen,
                                       .verify = FlashRange::Chosen,
                                       .readStopsAtRangeEnd = true};

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",     "20 Unprotect", "21 Erase",  "22 Blank",        "23 Write",
      "24 Verify",  "26 Protect",   "$DisTool:", "25,28,29,30,31,", "$Gridw:Addr space(地址范围)",
      "Addr start", "0000",         "Addr end",  "0FFFFF",          "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  static constexpr int kOwnOps[] = {kOpErase, kOpLock, kOpUnProtect};
  std::span<const int> OwnOperations() const override { return kOwnOps; }
  void Erase() override;
  void Lock() override;
  void UnProtect() override;
};

}  // namespace zelvar::memory
