#pragma once
// GAL16V8 and GAL20V8 class chips in edit mode (GAL16V8, GAL20V8 and their A/B/D kinds, ATF16V8,
// ATF20V8), written after the parts' public edit-mode conventions:
// - Edit mode: VCC 4.5-5.5 V, ground at 0 V and the edit pin (pin 2) at the programming voltage.
//   Out of edit mode the chip drives nothing the programmer reads.
// - Row address RA0..RA5 on its pins; P/V high selects program, low verify.
// - Program: bits are shifted in on SDIN at each falling SCLK edge (the first bit shifted is bit 0
//   of the row); a falling STB edge with P/V high programs the addressed row from the last bits
//   shifted in, only while the edit pin is inside the part's programming window. Programming
//   clears cells (an erased cell reads 1).
// - Verify: a falling STB edge with P/V low loads the addressed row into the shift register; SDOUT
//   shows bit 0 and each falling SCLK edge moves to the next bit.
// - Rows: 0..N-1 the AND array (N = 32 or 40 rows of 64 bits), N the 64-bit user signature, 60 the
//   82-bit architecture row (XOR 0-3, AC0, AC1 0-3, the 64 product-term disables, AC1 4-7, SYN,
//   XOR 4-7), 61 the security bit (programming a 0 secures the array, which then reads 0), 63 the
//   bulk erase (programming a 1 erases array, signature, architecture and security).
// - The bulk erase takes time (the makers publish no edit-mode timing; 100 ms is the model's):
//   it completes once the edit pin has stayed inside the programming window, the chip powered,
//   for 100 ms after the strobe. Leaving the window, losing power or another strobe before then
//   ends it with every cell as it was.
// - Absolute maximum: the edit pin's rating of the kind (17 V for 16.5 V parts, 14 V for 12 V
//   parts), 7 V on every other pin.
// - A program strobe programs its row (latched at the falling STB edge, the bits shifted before
//   it) when STB rises again after 1 ms or more low with the edit pin still in the window; a
//   shorter strobe programs nothing (the model's minimum: the makers publish no edit-mode timing).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct GalSheet {
  std::string name;
  int pins = 20;
  int vcc = 20, gnd = 10, edit = 2;
  std::array<int, 6> ra{};  // chip pins of RA0..RA5
  int sclk = 0, sdin = 0, stb = 0, sdout = 0, pv = 0;
  int arrayRows = 32;
  int vppMin = 0, vppMax = 0, maxEdit = 0;
};

class GalChip final : public ChipModel {
 public:
  static constexpr int kRowBits = 64;
  static constexpr int kArchitectureBits = 82;

  explicit GalChip(GalSheet sheet);

  std::string Name() const override { return sheet_.name; }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.gnd}; }
  int MaxMillivolts(int pin) const override { return pin == sheet_.edit ? sheet_.maxEdit : 7000; }
  // Powered by a 4.5 to 5.5 V supply on the VCC pin with the ground pin grounded; a logic driver
  // held high on VCC powers nothing.
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const GalSheet& sheet() const { return sheet_; }
  // The cells, 1 erased: array[row][bit], the signature, the architecture row.
  std::vector<std::vector<std::uint8_t>> array;
  std::vector<std::uint8_t> signature;
  std::vector<std::uint8_t> architecture;
  bool secured = false;
  int programmedRows = 0;  // strobes that programmed
  int erases = 0;
  int abortedErases = 0;  // bulk erases ended before their time
  int shortStrobes = 0;   // program strobes too short to program
  static constexpr double kEraseUs = 100000, kProgramStrobeUs = 1000;

 private:
  int Mv(Programmer& p, int chipPin) const;
  int Row(Programmer& p) const;
  void Program(Programmer& p, int row);
  void EraseNow();
  bool InWindow(Programmer& p) const;
  std::vector<std::uint8_t> Load(int row) const;

  GalSheet sheet_;
  bool edit_ = false, verify_ = false;
  int clockLevel_ = 0, strobeLevel_ = 1;
  std::vector<std::uint8_t> shifted_;
  std::vector<std::uint8_t> out_;
  std::size_t outPos_ = 0;
  bool erasing_ = false;
  double eraseStart_ = 0;
  bool programStrobe_ = false;
  int strobeRow_ = 0;
  double strobeStart_ = 0;
};

// "GAL16V8" (16.5 V), "GAL16V8B" (12 V), "ATF16V8", "GAL20V8" (16.5 V), "GAL20V8B", "ATF20V8";
// nullptr for another name.
std::shared_ptr<GalChip> MakeGal(std::string_view part);

}  // namespace zelvar::sim
