#pragma once
// "AT49F": Atmel AT49F 5 V flash, erased by a timed wait ("era=" tenths of the default), with VPP
// on the "tmp=" pin while erasing and writing.
#include <array>
#include <span>

#include "algorithms/memory/FlashSet.h"

namespace zelvar::memory {

class AT49F final : public FlashSetOf<AT49F> {
 public:
  static constexpr std::array<FlashType, 4> kTypes = {{
      {.name = "???"},
      {.name = "AT49f010/001", .lastAddress = 0x1FFFF, .contactMask = SocketPins(6, 36, 34)},
      // Pin 30 (socket pin 34) is A17 of the 2-Mbit parts.
      {.name = "AT49f020/002", .lastAddress = 0x3FFFF, .contactMask = SocketPins(6, 36)},
      {.name = "AT49f040/004", .lastAddress = 0x7FFFF, .contactMask = SocketPins(5, 36)},
  }};
  static constexpr std::uint8_t kWait[] = {zor5103::kCmdWait100us};
  static constexpr FlashPolicy kPolicy{.vccFloor = 1800,
                                       .vppMillivolts = 12000,
                                       .initHardware = true,
                                       .strobeTail = kWait,
                                       .write = FlashRange::WholeChip,
                                       .verify = FlashRange::WholeChip};

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",     "21 Erase",  "22 Blank",        "23 Write",
      "24 Verify",  "$DisTool:", "25,26,29,30,31,", "$Gridw:Addr space",
      "Addr start", "0000",      "Addr end",        "0FFFFFF",
      "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  void Init() override;
  std::uint8_t WriteVppPin() const override { return vppPin_; }
  static constexpr int kOwnOps[] = {kOpErase, kOpReadId};
  std::span<const int> OwnOperations() const override { return kOwnOps; }
  void Erase() override;

  std::uint8_t vppPin_ = 0;  // "tmp=" at set-up
};

}  // namespace zelvar::memory
