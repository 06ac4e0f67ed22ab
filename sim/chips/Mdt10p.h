#pragma once
// MDT10P73 (28 pins: MCLR/VPP 1, VSS 8, VDD 20, RB6 27, RB7 28), MDT10P74 (40 pins: MCLR/VPP 1,
// VSS 31, VDD 32, RB6 39, RB7 40), MDT10P43 (18 pins: MCLR/VPP 4, VSS 5, RB6 12, RB7 13, VDD 14),
// MDT10P55 (14 pins: VDD 1, MCLR/VPP 4, RB1 12, RB0 13, VSS 14) and MDT10P53 (8 pins: VDD 1,
// GP3/MCLR/VPP 4, GP1 6, GP0 7, VSS 8): one-time-programmable 14-bit words (512, 1K or 4K) and a
// configuration word, on the pinouts of the datasheets. Their programming mode is not published;
// the model is the smallest chip that accepts the host's serial-command sequences and the word
// layout the host decodes, by these rules (the clock pin is RB6/RB1/GP1, the data pin RB7/RB0/GP0):
// - Powered: 4.5 V to 5.5 V on VDD with VSS grounded. MCLR takes up to 13.5 V, any other pin
//   6.5 V.
// - Entry: MCLR rising to 11.5 V or more while powered, with clock and data held low, enters the
//   mode at word 0 of program memory; with either not held low the chip stays out until MCLR
//   falls and rises again. Leaving (MCLR below 11.5 V or power lost) forgets the address.
// - The data pin reads high when nothing drives it (a pull-up). The chip takes a bit on each
//   falling clock edge: a five-bit command, most significant bit first, then for the commands
//   2, 6, 10, 18 and 22 eight data bits, least significant first.
// - Commands: 10 latches the space (data bit 0: 0 program memory, 1 configuration), 4 sets the
//   address to word 0 of the latched space, 20 steps it; 2 loads bits 0-6 of the program latch
//   from data bits 0-6, 18 loads bits 7-13 from data bits 0-6; 12 starts a programming pulse and
//   28 ends it: a pulse of 1 ms or more ANDs the latch into the addressed cell (OTP: bits only
//   go from 1 to 0), a shorter one programs nothing. The configuration space has one cell, its
//   word 0.
// - 6 and 22 read: during their eight data clocks the chip drives the data pin while the clock is
//   high, first a start bit 0, then bits 0-6 (6) or bits 7-13 (22) of the addressed cell, least
//   significant first (an address without a cell reads 0x3FFF).
// - Any other command is counted in `unknownCommands` and does nothing.
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Mdt10pChip final : public ChipModel {
 public:
  struct Pins {
    int mclr, vdd, vss, clock, data;
  };
  Mdt10pChip(std::string_view part, int pins, int words, Pins p);

  std::string Name() const override { return std::string(part_); }
  int PinCount() const override { return pins_; }
  std::vector<int> GroundPins() const override { return {pin_.vss}; }
  int MaxMillivolts(int pin) const override { return pin == pin_.mclr ? 13500 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint16_t> code;
  std::uint16_t config = 0x3FFF;
  int shortPulses = 0;
  int unknownCommands = 0;
  int entries = 0;  // times the chip entered the mode

 private:
  enum class Phase { kCommand, kData, kReadOut };
  int Input(const Programmer& p, int pin) const;
  std::uint16_t* Cell();
  std::uint16_t CellValue() const;
  void Command(const Programmer& p, int data);

  std::string_view part_;
  int pins_;
  Pins pin_;
  bool inMode_ = false, mclrHigh_ = false;
  int lastClock_ = 0;
  Phase phase_ = Phase::kCommand;
  int bits_ = 0, command_ = 0, data_ = 0;
  int space_ = 0, latchedSpace_ = 0, address_ = 0;
  std::uint16_t latch_ = 0x3FFF;
  bool pulsing_ = false;
  double pulseStart_ = 0;
  int outBit_ = -1;  // the bit driven while the clock is high, -1 none
};

// The MDT10P part `chipName` names ("MDT10P53" ...), "" when none.
std::string_view Mdt10pPartOf(std::string_view chipName);
std::shared_ptr<Mdt10pChip> MakeMdt10p(std::string_view part);

}  // namespace zelvar::sim
