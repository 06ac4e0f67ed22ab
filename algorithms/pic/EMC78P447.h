#pragma once
// "EMC78P447": EM78P247SA/SB and EM78P447SA/SB (28-pin) by the EM78P shift engine on
// "em78p447.bit"; the option word from the MS, CLKS and HLF radios and the TYP, HLP, PTB and WDT
// options.
#include "algorithms/pic/Em78p.h"

namespace zelvar::pic {

class EMC78P447 final : public Em78ShiftSet {
 public:
  // The 28-pin seat from socket pin 7 (InfoRecord words 6 and 7: 0x7FFFF2C0 and 7).
  static constexpr std::uint64_t kContact = 0x3FFFFF2C0;
  static constexpr std::array<Em78Type, 5> kTypes = {{
      {.name = "Exit"},
      {"EM78P247SA (2Kx13)", 34, 8, 10, 4095, kContact},
      {"EM78P247SB (2Kx13)", 34, 8, 10, 4095, kContact},
      {"EM78P447SA (4Kx13)", 34, 8, 10, 8191, kContact},
      {"EM78P447SB (4Kx13)", 34, 8, 10, 8191, kContact},
  }};

  // Start 0x1FFF: MS "RC" (0) clears bit 12; CLKS (0) bit 10; HLF (0) bit 8; TYP (word 0)
  // bit 6; HLP (word 1) bit 7; PTB (word 2) bit 9; WDT (word 3) bit 11.
  static std::uint16_t Encode(std::uint32_t ms, std::uint32_t clks, std::uint32_t hlf,
                              std::uint32_t typ, std::uint32_t hlp, std::uint32_t ptb,
                              std::uint32_t wdt);

 private:
  const Policy& policy() const override;
  std::span<const Em78Type> Rows() const override { return kTypes; }
  const char* Bitstream() const override { return "em78p447.bit"; }
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  std::uint16_t ConfigWord() const override;
  void FromConfig(std::uint16_t c) override;
};

}  // namespace zelvar::pic
