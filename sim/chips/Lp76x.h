#pragma once
// Philips 87LPC76x one-time-programmable 8051s in their serial programming mode: the P87LPC761
// (16 pins: RST 3, VSS 4, VDD 12, P0.5 13, P0.4 14) and P87LPC762 (20 pins: RST 4, VSS 5, VDD 15,
// P0.5 16, P0.4 17), 2 KB each. The datasheets give the pinouts, the 5 V supply (4.5 V to 5.5 V),
// the OTP array (erased 0xFF, programming clears bits), the user configuration word at FD00 and
// FD01 and the maker code 0x15 at FC30. What they leave open the models fix as these rules:
// - Programming mode: VDD in range, VSS grounded and RST at the programming level (10 V to
//   12.5 V; over 13 V harms the part). RST leaving the level ends the mode.
// - Bytes go most significant bit first on P0.4, sampled on P0.5 rising edges: 0x08 and 0x0A
//   take the next byte as address low and high, 0x02 the next byte into the data latch, 0x06
//   steps the address, 0x04 reads: the cell at the address goes out on P0.4 over the next eight
//   clocks, each bit from its rising edge until the following one.
// - 0x0C starts a program pulse and 0x0E ends it: the latch is programmed into the cell (cell AND
//   latch) when the pulse lasted 250 us or more; the ID bytes cannot be programmed.
// - The device byte at FC31 (0x61 for the 761, 0x62 for the 762) is ours.
#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct Lp76xSheet {
  std::string_view name;
  int pins = 20;
  int vdd = 15, vss = 5, rst = 4, clock = 16, data = 17;
  std::uint32_t codeSize = 2048;
  std::uint8_t device = 0x62;
  int seat6200 = 6;  // socket pin of chip pin 1 on models below 6300, as the picture shows
};

class Lp76xChip final : public ChipModel {
 public:
  explicit Lp76xChip(const Lp76xSheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.vss}; }
  int MaxMillivolts(int pin) const override { return pin == sheet_.rst ? 13000 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;
  int SeatPin(int model) const override { return model >= 6300 ? 0 : sheet_.seat6200; }

  std::vector<std::uint8_t> code;
  std::array<std::uint8_t, 2> config{0xFF, 0xFF};  // FD00, FD01
  bool inMode = false;
  int programmed = 0;

 private:
  int Level(const Programmer& p, int chipPin) const;
  std::uint8_t* Cell(std::uint16_t a);
  std::uint8_t Value(std::uint16_t a);
  void Byte(Programmer& p, std::uint8_t b);

  Lp76xSheet sheet_;
  int lastClock_ = 0;
  int bits_ = 0;
  std::uint8_t shift_ = 0;
  int argument_ = -1;  // the command waiting for its byte
  std::uint16_t address_ = 0;
  std::uint8_t latch_ = 0xFF;
  bool reading_ = false;  // a read's byte goes out
  int sendBits_ = 0;      // rising edges still to come in it
  std::uint8_t out_ = 0;
  double pulseStart_ = -1;
};

// "P87LPC761" or "P87LPC762" (also under "87LP761" and "87LP762") when `chipName` names one.
std::string_view Lp76xPartOf(std::string_view chipName);
std::shared_ptr<Lp76xChip> MakeLp76x(std::string_view part);

}  // namespace zelvar::sim
