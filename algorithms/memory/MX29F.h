#pragma once
// "MX29F": Macronix MX29F 5 V flash, erased in ten passes, with a sector unprotect at 12 V.
#include <array>
#include <span>

#include "algorithms/memory/FlashSet.h"

namespace zelvar::memory {

class MX29F final : public FlashSetOf<MX29F> {
 public:
  static constexpr std::array<FlashType, 4> kTypes = {{
      {.name = "???"},
      {.name = "Mx29f010/001", .lastAddress = 0x1FFFF, .contactMask = SocketPins(6, 36, 34)},
      // Pin 30 (socket pin 34) is A17 and pin 1 (socket pin 5) A18 where the part has them.
      {.name = "Mx29f020/002", .lastAddress = 0x3FFFF, .contactMask = SocketPins(6, 36)},
      {.name = "Mx29f040/004", .lastAddress = 0x7FFFF, .contactMask = SocketPins(5, 36)},
  }};
  static constexpr FlashPolicy kPolicy{
      .vppMillivolts = 0, .write = FlashRange::ZeroToEnd, .verify = FlashRange::ZeroToEnd};

 private:
  static constexpr const char* kList[] = {"$Fonc:",
                                          "20 UnProtectChip",
                                          "21 Erase",
                                          "22 Blank",
                                          "23 Write",
                                          "24 Verify",
                                          "$DisTool:",
                                          "25,26,29,30,31,",
                                          "$Gridw:Addr space",
                                          "Addr start",
                                          "0000",
                                          "Addr end",
                                          "0FFFFFF",
                                          "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  static constexpr int kOwnOps[] = {kOpErase, kOpUnProtect, kOpReadId};
  std::span<const int> OwnOperations() const override { return kOwnOps; }
  void Erase() override;
  void UnProtect() override;
};

}  // namespace zelvar::memory
