#pragma once
// SyncMOS SM59R16A2 (64 KB flash, 64-pin LQFP, 4.5 V to 5.5 V as modelled) on the programmer's
// adapter, which presents it as a DIP40 8051 (VDD 40, VSS 20, RST 9, P0.0-P0.7 on pins 39-32).
// Only its entry into the in-system-programming mode is modelled: the maker's ISP protocol is
// not published, so the recogniser accepts the SM59ISP set's entry as these rules:
// - RST held high for 10 ms or more and released while EA (pin 31) is high arms it.
// - While armed, each rising edge on P3.2 (pin 12) takes the byte on P0: the six-byte entry code
//   53 4D 35 39 49 53 and then 0x60 put the chip into its ISP mode; any other byte disarms it.
// - Losing VDD ends the mode.
// - Every byte on P0 at a rising P3.2 edge while powered is kept in `strobed`, so that a test sees
//   what reached the chip in the operations whose effect is not modelled (the erase).
#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Sm59Chip final : public ChipModel {
 public:
  static constexpr std::array<std::uint8_t, 7> kEntry = {0x53, 0x4D, 0x35, 0x39, 0x49, 0x53, 0x60};

  std::string Name() const override { return "SM59R16A2"; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 6000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;

  bool ispMode = false;
  int entries = 0;
  std::vector<std::uint8_t> strobed;

 private:
  int Level(const Programmer& p, int chipPin) const;

  int lastRst_ = 0, lastStrobe_ = 0;
  double rstRose_ = -1;
  int matched_ = -1;  // entry bytes matched; -1: not armed
};

// "SM59R16A2" when `chipName` names it.
std::string_view Sm59IspPartOf(std::string_view chipName);
std::shared_ptr<Sm59Chip> MakeSm59Isp(std::string_view part);

}  // namespace zelvar::sim
