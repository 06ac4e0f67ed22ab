#pragma once
// The JTAG port of a C8051F0xx microcontroller (C8051F012), as far as Read ID reaches it, on the
// LQFP32 adapter of "jtagC8051f32pin.bit": the adapter is a 40-pin carrier seated at the bottom of
// the socket that brings TCK, TMS, TDI and TDO to its pins 21 to 24, GND to 25 and VDD to 26. From
// the public C8051F0xx datasheets: VDD 2.7 to 3.6 V (4.2 V absolute maximum), the JTAG pins 5 V
// tolerant (5.8 V), a 16-bit instruction register whose reset instruction is IDCODE (0x0004) with
// a 32-bit identification register; BYPASS 0xFFFF. The IDCODE value (0x10000243: version 1, part
// 0, the maker's code 0x243) is the model's own, not confirmed from a datasheet. The flash
// access registers are not modelled: the set reads the ID only.
#include <memory>
#include <string_view>

#include "sim/chips/JtagChip.h"

namespace zelvar::sim {

class C8051Tap final : public JtagChip {
 public:
  static constexpr std::uint32_t kIdcode = 0x10000243;
  explicit C8051Tap(std::string_view name);

 protected:
  int DrBits(std::uint32_t instruction) const override { return instruction == 0x0004 ? 32 : 1; }
  void CaptureDr(std::uint32_t instruction, std::vector<std::uint8_t>& dr, double) override {
    if (instruction == 0x0004) PutBits(dr, 0, kIdcode, 32);
  }
  void UpdateDr(std::uint32_t, const std::vector<std::uint8_t>&, double) override {}
};

std::string_view C8051TapPartOf(std::string_view chipName);
std::shared_ptr<ChipModel> MakeC8051Tap(std::string_view part);

}  // namespace zelvar::sim
