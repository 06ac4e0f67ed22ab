#pragma once
// "MDT2000": the MDT2005, MDT2010 and MDT2030 in the 18-pin seat and the MDT2015 and MDT2020 in
// the 28-pin seat, by the MDT parallel protocol: four entry clocks, a programming pulse of one to
// four ticks ("写速度"), a configuration word of oscillator, start-up delay, WDT, PED and
// security fields. The user ID grid is shown, not programmed.
#include "algorithms/pic/MdtParallel.h"

namespace zelvar::pic {

class MDT2000 final : public MdtParallelSet {
 public:
  static constexpr std::array<MdtParallelType, 6> kTypes = {{
      {.name = "Exit", .vppPin = 15, .groundPin = 16},
      {"1: MDT2005   (512x14)", 15, 25, 16, 28, 29, 12, 27, 15, 1023, kMdtSeat18, true},
      {"2: MDT2010   (1Kx14)", 15, 25, 16, 28, 29, 12, 27, 15, 2047, kMdtSeat18, true},
      {"3: MDT2015   (512x14)", 34, 8, 10, 12, 13, 14, 33, 34, 1023, 0x3FFFFFAC0, false},
      {"4: MDT2020   (2Kx14)", 34, 8, 10, 12, 13, 14, 33, 34, 4095, 0x3FFFFFAC0, false},
      // This row has no contact test on any model.
      {"5: MDT2030   (2Kx14)", 15, 25, 16, 28, 29, 12, 27, 15, 4095, 0, false},
  }};
  static constexpr auto kChips = McuRows(kTypes);

  // The configuration word from Radio1 (oscillator), Radio2 (start-up delay) and the grid bits
  // WDT (bit 0), PED (bit 1) and Security (bit 2): two-bit fields where 2 enables WDT and PED and
  // 1 sets the security bit.
  static std::uint16_t Encode(std::uint32_t radio1, std::uint32_t radio2, std::uint32_t grid);
  static std::uint32_t Grid(std::uint16_t config);

 private:
  const Policy& policy() const override;
  std::span<const McuType> Types() const override { return kChips; }
  std::span<const MdtParallelType> Lines() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  int PulseTicks() const override { return static_cast<int>(Word(130)) + 1; }
  std::uint16_t ConfigWord() const override { return Encode(Word(128), Word(129), Word(0)); }
  std::uint32_t GridBits(std::uint16_t config) const override { return Grid(config); }
};

}  // namespace zelvar::pic
