#pragma once
// "AMD29f040": Am29F flash with sector protection by method ("upr=" 1, 2 or 3), erased with DQ7
// polling.
#include <array>
#include <span>

#include "algorithms/memory/FlashSet.h"
#include "algorithms/memory/P29F.h"

namespace zelvar::memory {

class AMD29f040 final : public FlashSetOf<AMD29f040> {
 public:
  // P29F's rows with the maker's names for the uniform parts.
  static constexpr std::array<FlashType, 12> kTypes = [] {
    auto t = P29F::kTypes;
    t[1].name = "AM29f256";
    t[2].name = "AM29f512";
    t[3].name = "AM29f010";
    t[4].name = "AM29f020";
    t[5].name = "AM29f040";
    return t;
  }();
  static constexpr FlashPolicy kPolicy{.vccFloor = 1,
                                       .vppMillivolts = 12000,
                                       .strobeTail = P29F::kNoOps,
                                       .write = FlashRange::WholeChip,
                                       .verify = FlashRange::WholeChip};

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",       "21 Erase",          "22 Blank",   "23 Write", "24 Verify", "$DisTool:",
      "25,29,30,31,", "$Gridw:Addr space", "Addr start", "0000",     "Addr end",  "0FFFFFF",
      "$end"};
  std::span<const char* const> DescribeList() const override { return kList; }
  void Init() override;
  static constexpr int kOwnOps[] = {kOpErase, kOpUnProtect, kOpLock, kOpReadId};
  std::span<const int> OwnOperations() const override { return kOwnOps; }
  void Erase() override;
  // False when the power check failed (the supplies then stay as they are).
  bool UnProtectSteps();
  void UnProtect() override { UnProtectSteps(); }
  void Lock() override;
  void ReadId() override;

  int method_ = 0;  // "upr=" at set-up
};

}  // namespace zelvar::memory
