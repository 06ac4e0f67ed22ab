#pragma once
// "EMC78P458": EM78P458 and EM78P459 by the EM78P shift engine on "em78p458.bit", with their own
// entry and the option registers R1 (OptionValues word 0) and R2 (word 1) bit for bit. The rows
// span the chips' 1K words: a wider span would have Write report words the chips do not have.
#include "algorithms/pic/Em78p.h"

namespace zelvar::pic {

class EMC78P458 final : public Em78ShiftSet {
 public:
  static constexpr std::uint64_t kContact = PinBits({13, 14, 18, 19, 20, 21, 22, 23, 26});
  static constexpr std::array<Em78Type, 3> kTypes = {{
      {.name = "Exit"},
      {"1:EM78P458 (1Kx13)", 22, 26, 15, 2047, kContact},
      {"2:EM78P459 (1Kx13)", 22, 26, 15, 2047, kContact},
  }};

 private:
  const Policy& policy() const override;
  std::span<const Em78Type> Rows() const override { return kTypes; }
  const char* Bitstream() const override { return "em78p458.bit"; }
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
};

}  // namespace zelvar::pic
