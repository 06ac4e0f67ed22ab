#pragma once
// CR80P100 and CR80P110 (18-pin) and CR80P200 (28-pin) one-time-programmable microcontrollers:
// 14-bit program words (1K or 2K), an ID area, an option area and a security word. The
// programming mode is not published; the model is the smallest chip that accepts the
// "CR80PX00" sequences, by these rules (chip pins by package: 18-pin VPP 3, VDD 14, VSS 5, bus
// 6-12, S1 2, S2 13, S3 17, S4 1, S5 15, clock 16; 28-pin VPP 1, VDD 2, VSS 4, bus 10-16, S1 24,
// S2 26, S3 6, S4 7, S5 18, clock 25):
// - Powered: 2.7 V to 5.5 V on VDD with VSS grounded; VPP takes up to 13.5 V.
// - VPP rising to 11.5 V or more while powered and S2 high latches the space from bus bits 0-2
//   (0 program memory, 1 ID area, 2 option area, 5 security word) and starts counting clock
//   rising edges. The CR80P100/200 take five edges before word 0; the CR80P110 takes two, and its
//   program memory starts with two reserved words (read 0x3FFF, never programmed) and its option
//   area keeps the option word in word 3.
// - After them every four clock edges step to the next word. S3 low selects the low seven bits,
//   high the upper seven.
// - S4 high, S5 low for at least 80 us and S5 high again programs the selected half from bus bits
//   0-6 (a bit only goes from 1 to 0). A shorter pulse programs nothing and counts.
// - S4 falling without such a pulse since it rose turns the bus into an output: the chip drives
//   the selected half on bus bits 0-6 until the next pulse or the end of the mode.
#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/chips/LineChip.h"

namespace zelvar::sim {

class Cr80pChip final : public LineChip {
 public:
  Cr80pChip(std::string_view name, int pins, int words, bool reservedWords);
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint16_t> code;
  std::array<std::uint16_t, 8> id{}, option{};
  std::uint16_t security = 0x3FFF;
  int shortPulses = 0;

 private:
  enum Role { kS2, kS3, kS4, kS5, kClock, kBus };
  int Pin(Role r) const;
  std::uint16_t* Cell();
  bool reserved_;
  bool inMode_ = false, output_ = false, pulsed_ = false;
  int space_ = 0, edges_ = 0;
  int last_[5] = {};
  double pulseStart_ = 0;
};

std::string_view Cr80pPartOf(std::string_view chipName);
std::shared_ptr<Cr80pChip> MakeCr80p(std::string_view part);

}  // namespace zelvar::sim
