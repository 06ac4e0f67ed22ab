#pragma once
// "MDT2051": the MDT2051 in the 18-pin seat by the MDT parallel protocol: no entry clocks, a
// programming pulse of four ticks, a configuration word of oscillator, PRD, PUT, WDT, PED and
// security fields.
#include "algorithms/pic/MdtParallel.h"

namespace zelvar::pic {

class MDT2051 final : public MdtParallelSet {
 public:
  static constexpr std::array<MdtParallelType, 2> kTypes = {{
      {.name = "Exit", .vppPin = 15, .groundPin = 16},
      {"1: MDT2051   (1Kx14)", 15, 25, 16, 28, 29, 12, 27, 15, 2047, kMdtSeat18, true},
  }};
  static constexpr auto kChips = McuRows(kTypes);

  // The configuration word from Radio1 (oscillator) and the grid bits PRD (bit 0), PUT (1),
  // WDT (2), PED (3) and Security (4): two-bit fields where 1 sets PRD, PUT and Security and 2
  // enables WDT and PED.
  static std::uint16_t Encode(std::uint32_t radio1, std::uint32_t grid);
  static std::uint32_t Grid(std::uint16_t config);

 private:
  const Policy& policy() const override;
  std::span<const McuType> Types() const override { return kChips; }
  std::span<const MdtParallelType> Lines() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  int PulseTicks() const override { return 4; }
  std::uint16_t ConfigWord() const override { return Encode(Word(128), Word(0)); }
  std::uint32_t GridBits(std::uint16_t config) const override { return Grid(config); }
};

}  // namespace zelvar::pic
