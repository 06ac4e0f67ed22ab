#pragma once
// Microchip 12-bit-core flash PICs (PIC16F54, PIC16F57) in their serial programming mode, from
// the makers' PIC16F5X programming guide and the data sheets: pinouts, sizes, the commands (6
// bits, least significant first, taken as the clock falls; only the low four bits decode, the
// upper two are don't-care), the 16-bit data field (start bit, 12 data bits and two don't-care
// bits, stop bit; read data driven from the second to the fifteenth rising edge, the two
// don't-care bits as 0), the configuration word (FOSC1:FOSC0 bits 0-1, WDTE bit 2, CP bit 3) and
// the four user-ID words after the program memory. Rules the sheets leave open, kept here:
// - Power: VDD at 2.0-5.5 V with the VSS pin grounded.
// - Entry: VDD first, then MCLR from low to 12.5-13.5 V with clock and data low; MCLR high on an
//   unpowered chip harms it. The entry points the address at the configuration word; one
//   Increment Address moves it to word 0. The counter runs over twice the program words and then
//   wraps to word 0; words above the user IDs read as erased and take no programming. MCLR
//   falling or VDD going ends the mode.
// - Programming: Load Data latches the word, Begin Programming starts the externally timed
//   cycle, End Programming ends it; the cell takes the latch's 0 bits (program only) when at
//   least 2 ms passed, else it is unchanged. Any other command during the cycle is a host fault.
// - Bulk Erase: with the address at the configuration word it erases the program memory and the
//   configuration word; with it on a user-ID word, the four user IDs; in the program memory, the
//   program memory. It takes 10 ms; commands meanwhile are ignored, and an erase cut short by
//   leaving the mode erases nothing.
// - Code protection: with CP at 0 the program memory reads as 0; the user IDs stay readable.
//   Unimplemented configuration bits 4-11 read as 1.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct Pic12Sheet {
  std::string_view name;
  int pins = 18;
  int vdd = 14, vss = 5, mclr = 4, clock = 12, data = 13;  // chip pins
  std::uint32_t words = 512;
};

class Pic12Chip final : public ChipModel {
 public:
  explicit Pic12Chip(const Pic12Sheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.vss}; }
  int MaxMillivolts(int pin) const override { return pin == sheet_.mclr ? 14000 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const Pic12Sheet& sheet() const { return sheet_; }
  // The configuration word as the chip reads it out.
  std::uint16_t ConfigRead() const { return static_cast<std::uint16_t>((config & 0x0F) | 0xFF0); }

  std::vector<std::uint16_t> code;
  std::array<std::uint16_t, 4> ids{0xFFF, 0xFFF, 0xFFF, 0xFFF};
  std::uint16_t config = 0xFFF;
  bool inMode = false;
  int entries = 0, erases = 0;

 private:
  enum class Phase { kCommand, kDataIn, kDataOut };
  enum class Work { kNone, kProgram, kErase };
  static constexpr std::uint32_t kAtConfig = 0xFFFFFFFF;

  int Level(const Programmer& p, int chipPin) const;
  bool MclrHigh(const Programmer& p) const;
  void Command(Programmer& p, std::uint8_t c);
  void Finish(Programmer& p, bool leaving);
  std::uint16_t ReadWord() const;
  std::uint16_t* Cell();

  Pic12Sheet sheet_;
  bool lastPowered_ = false, lastMclr_ = false;
  int lastClock_ = 0;
  Phase phase_ = Phase::kCommand;
  int count_ = 0;
  std::uint32_t shift_ = 0;
  bool loading_ = false;
  std::uint32_t pc_ = kAtConfig;
  std::uint16_t latch_ = 0xFFF, out_ = 0;
  bool driving_ = false;
  int outBit_ = 0;
  Work work_ = Work::kNone;
  double workStart_ = 0;
  std::uint32_t erasePc_ = 0;
};

// The part named by `chipName`, "" when none.
std::string_view Pic12PartOf(std::string_view chipName);
std::shared_ptr<Pic12Chip> MakePic12(std::string_view part);

}  // namespace zelvar::sim
