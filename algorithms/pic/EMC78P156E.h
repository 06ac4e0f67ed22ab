#pragma once
// "EMC78P156E": EM78P156, EM78P256, EM78P456 (18-pin) and EM78P247SA/SB, EM78P447SA/SB (28-pin)
// by the EM78P shift engine on "em78p156.bit"; the option word from the oscillator, CLKS and HLF
// radios and the HLP, PTB and WDT options.
#include "algorithms/pic/Em78p.h"

namespace zelvar::pic {

class EMC78P156E final : public Em78ShiftSet {
 public:
  // The set checks the pins of the 18-pin seat, whichever row it runs.
  static constexpr std::uint64_t kContact = 0x1FFFF000;
  static constexpr std::array<Em78Type, 8> kTypes = {{
      {.name = "Exit"},
      {"1:EM78P156 (1Kx13)", 15, 25, 16, 2047, kContact},
      {"2:EM78P256 (2Kx13)", 15, 25, 16, 4095, kContact},
      {"3:EM78P456 (4Kx13)", 15, 25, 16, 8191, kContact},
      {"4:EM78P247SA (2Kx13)", 34, 8, 10, 4095, kContact},
      {"5:EM78P247SB (2Kx13)", 34, 8, 10, 4095, kContact},
      {"6:EM78P447SA (4Kx13)", 34, 8, 10, 8191, kContact},
      {"7:EM78P447SB (4Kx13)", 34, 8, 10, 8191, kContact},
  }};

  // Start 0x1FFF: Osc "In RC" (0) clears bits 12 and 7, "Ext RC" (1) bit 12; CLKS "2 Clocks" (0)
  // bit 10; HLF "Low" (0) bit 8; HLP (word 0) bit 6; PTB (word 1) bit 9; WDT (word 2) bit 11.
  static std::uint16_t Encode(std::uint32_t osc, std::uint32_t clks, std::uint32_t hlf,
                              std::uint32_t hlp, std::uint32_t ptb, std::uint32_t wdt);

 private:
  const Policy& policy() const override;
  std::span<const Em78Type> Rows() const override { return kTypes; }
  const char* Bitstream() const override { return "em78p156.bit"; }
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  std::uint16_t ConfigWord() const override;
  void FromConfig(std::uint16_t c) override;
};

}  // namespace zelvar::pic
