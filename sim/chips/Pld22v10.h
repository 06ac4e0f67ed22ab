#pragma once
// A 22V10 class chip (ATF22V10B) in edit mode, after the public JEDEC fuse map of the 22V10
// (44 rows of 132 product-term fuses, 20 macrocell configuration fuses at 5808, a 64-bit user
// signature at 5828) and the usual serial edit-mode conventions, as the "atf22v10b" design wires
// it:
// - Edit mode: VCC 4.5-5.5 V on pin 24, ground on pin 12, the edit pin 2 at 10 V or more.
// - Serial data in on pin 4 and out on pin 14, moved on each falling edge of the clock on pin 3.
//   Pin 5 high selects program, low verify; pin 6 is the strobe; pin 7 high selects the bulk
//   erase, pin 8 high the configuration row.
// - Program (falling strobe, pin 5 high, the edit pin inside 11.5-13 V): with pin 7 high the
//   whole chip is erased; with pin 8 high the configuration takes the first 20 of the last 24
//   bits shifted; otherwise the last 6 bits shifted are the row address (bit 0 first) and the 132
//   before them the row (row 44: the signature takes their first 64; row 61: any 0 secures the
//   array). Programming clears cells (an erased cell reads 1).
// - Verify (falling strobe, pin 5 low): the configuration (20 bits and four 1 bits) with pin 8
//   high, else the row the last 6 bits shifted address, into the output register; pin 14 shows
//   bit 0 and each falling clock edge moves on. A secured array reads all ones.
// - Absolute maximum: 14 V on the edit pin, 7 V on every other pin.
#include <cstdint>
#include <memory>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Pld22v10 final : public ChipModel {
 public:
  static constexpr int kRows = 44, kRowBits = 132, kConfigBits = 20, kSignatureBits = 64;

  Pld22v10();
  std::string Name() const override { return "ATF22V10B"; }
  int PinCount() const override { return 24; }
  std::vector<int> GroundPins() const override { return {12}; }
  int MaxMillivolts(int pin) const override { return pin == 2 ? 14000 : 7000; }
  // Powered by a 4.5 to 5.5 V supply on pin 24 with pin 12 grounded.
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::vector<std::uint8_t>> array;
  std::vector<std::uint8_t> config;
  std::vector<std::uint8_t> signature;
  bool secured = false;
  int programmed = 0;
  int erases = 0;

 private:
  int Mv(Programmer& p, int chipPin) const { return p.InputMillivolts(p.SocketPinOf(chipPin)); }
  int Address() const;
  void Program(bool erase, bool configRow);

  bool edit_ = false, verify_ = false;
  int clock_ = 0, strobe_ = 1;
  std::vector<std::uint8_t> shifted_;
  std::vector<std::uint8_t> out_;
  std::size_t pos_ = 0;
};

}  // namespace zelvar::sim
