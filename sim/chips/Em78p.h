#pragma once
// EM78P OTP microcontrollers with 13-bit program words: EM78P156/256/456 (18 pins: VPP 4, VSS 5,
// VDD 14; 1K, 2K, 4K words), EM78P247SA/SB and EM78P447SA/SB (28 pins: VDD 2, VSS 4, VPP 28; 2K
// and 4K words), EM78P458/459 (20 pins: VSS 5, VPP 12, VDD 16; 1K words) and EM78P451P (40 pins:
// VSS 1, VPP 2, VDD 38; 4K words). Their programming modes are not published; each model is the
// smallest chip that accepts the host's sequences and the word layouts the host decodes, by
// these rules:
// - Powered: 4.0 V to 5.5 V on VDD with VSS grounded. VPP takes up to 13.5 V, any other pin
//   6.5 V.
// - Entry: VPP rising to 11.5 V or more while powered enters the mode and latches the space: on
//   the 156/256/456 and 247/447 from the address clock's level (high: the option word), on the
//   458/459 from the data pin's, on the 451 from bus bit 1. Leaving (VPP below 11.5 V or power
//   lost) forgets the address.
// - Address: two falling edges of the address clock step it; after entry it reaches word 0 with
//   the second falling edge (the fourth on the 28-pin parts). The option space holds one word (two
//   on the 458/459: R1 and R2); an address without a cell reads 0x1FFF and programs nothing (the
//   458/459 counter runs past its 1K words into nothing).
// - Shift parts (pins: data, shift clock, strobe, reset, read line, address clock on chip pins
//   6-11 of the 18-pin parts, 11-16 of the 28-pin parts, 8, 9, 10, 11, 13, 3 of the 458/459):
//   with the read line high, each falling shift-clock edge takes the data pin into a 13-bit shift
//   register, most significant bit first; the read line falling starts a word read, and while it
//   is low the chip drives the data pin while the shift clock is high, bits 12 down to 0, one a
//   clock. The data pin reads high when nothing drives it.
// - 451 (pins: address clock 13, half select 14, read line 36, strobe 40, bus 28-34): the half
//   select falling latches bus bits 0-5 as word bits 7-12; while the read line is low the chip
//   drives the bus with bits 0-6 (half select low) or bits 7-12 (high).
// - The strobe low then high, with the read line high, ANDs the word (the shift register; on the
//   451 the latched high bits and bus bits 0-6 as the strobe fell) into the addressed cell when it
//   stayed low at least 1 ms (OTP: bits only go from 1 to 0); a shorter pulse programs nothing.
#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Em78pChip final : public ChipModel {
 public:
  struct Layout {
    int pins, words, optionWords;
    int vpp, vdd, vss;
    // Shift parts: data, shift clock; both: strobe, read line, address clock; 451: half select
    // and bus bit 0 (bits 1-6 on the next pins).
    int data, shiftClock, strobe, readLine, clock, half, bus;
    int startFalls;
    bool spaceFromData;  // the 458/459
  };
  Em78pChip(std::string_view part, const Layout& l);

  std::string Name() const override { return std::string(part_); }
  int PinCount() const override { return l_.pins; }
  std::vector<int> GroundPins() const override { return {l_.vss}; }
  int MaxMillivolts(int pin) const override { return pin == l_.vpp ? 13500 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint16_t> code;
  std::array<std::uint16_t, 2> option{0x1FFF, 0x1FFF};
  int shortPulses = 0;
  int entries = 0;
  // Simulated time from power-up to the last entry.
  double entryDelayUs = 0;

 private:
  int Level(const Programmer& p, int pin) const;
  std::uint16_t* Cell();
  std::uint16_t CellValue() const;

  std::string_view part_;
  Layout l_;
  bool inMode_ = false;
  int space_ = 0, falls_ = 0;
  int lastClock_ = 0, lastShift_ = 0, lastRead_ = 1, lastStrobe_ = 1, lastHalf_ = 1;
  std::uint16_t shift_ = 0x1FFF, word_ = 0x1FFF, high_ = 0x3F;
  int readBit_ = 0;
  double strobeStart_ = 0;
  bool powered_ = false;
  double poweredAt_ = 0;
};

// The EM78P part `chipName` names ("EM78P156" ...), "" when none.
std::string_view Em78pPartOf(std::string_view chipName);
std::shared_ptr<Em78pChip> MakeEm78p(std::string_view part);

}  // namespace zelvar::sim
