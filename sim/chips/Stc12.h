#pragma once
// STC12C5410 (28 pins, 10 KB flash, 5 V: 3.5 V to 5.5 V; VCC pin 28, GND pin 14 as the datasheet
// gives them) in the byte-wide programming mode the STC12CX set drives. The maker publishes no
// such mode (its parts program over their serial boot loader), so the model accepts the set's
// sequences as these rules, with the bus and control lines where the "stc12c5xdip28" design puts
// them (bus bits 0-7 on chip pins 1-8, lines 0-10 on chip pins 15-25):
// - Entry: powered, a line-9 rising edge (reset released) arms it; the next eight bus strobes
//   (line 7 rising) with line 6 high must carry the entry code 5A A5 C3 3C 12 C5 41 0A.
// - In the mode a bus strobe takes the bus as the address high byte while line 5 is high, the low
//   byte while line 2 is high, a control code while line 6 is high, else a data byte.
// - Control codes: 88 89 C9 89 81 00 in a row program the data byte into the cell at the address
//   (cell AND data); 86 87, then at least 150 us, then 83 00 erase the code and the configuration
//   bytes (F000 to F003); F0 starts reading.
// - Reading: while line 0 is high and line 1 low the chip drives the cell at the address on the
//   bus, and a strobe with line 6 low steps the address. Any other control code ends it.
#include <array>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Stc12Chip final : public ChipModel {
 public:
  Stc12Chip();
  static constexpr std::array<std::uint8_t, 8> kEntryCode = {0x5A, 0xA5, 0xC3, 0x3C,
                                                             0x12, 0xC5, 0x41, 0x0A};

  std::string Name() const override { return "STC12C5410"; }
  int PinCount() const override { return 28; }
  std::vector<int> GroundPins() const override { return {14}; }
  int MaxMillivolts(int) const override { return 6000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;
  int SeatPin(int) const override { return 7; }

  std::vector<std::uint8_t> code;
  std::array<std::uint8_t, 4> config{0xFF, 0xFF, 0xFF, 0xFF};
  bool inMode = false;
  int erases = 0;

 private:
  int Level(const Programmer& p, int chipPin) const;
  std::uint8_t Bus(const Programmer& p) const;
  std::uint8_t* Cell(std::uint16_t a);
  void Strobe(Programmer& p, const std::array<int, 11>& now);
  void Control(Programmer& p, std::uint8_t code);

  std::array<int, 11> last_{};
  int entryBytes_ = -1;  // code bytes matched since the reset; -1: not armed
  std::uint16_t address_ = 0;
  std::uint8_t data_ = 0xFF;
  std::deque<std::uint8_t> codes_;
  double eraseArmed_ = -1;
  bool reading_ = false;
  bool driving_ = false;
};

// "STC12C5410" when `chipName` names it.
std::string_view Stc12PartOf(std::string_view chipName);
std::shared_ptr<Stc12Chip> MakeStc12(std::string_view part);

}  // namespace zelvar::sim
