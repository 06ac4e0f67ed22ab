#pragma once
// Microchip 14-bit-core EPROM and one-time-programmable PICs (PIC16C6x, PIC16C7x, PIC16C62x) in
// their serial program/verify mode, from the families' EPROM programming guide and the
// data sheets: pinouts, sizes, the commands (6 bits, least significant first, taken as the clock
// falls: 0x00 Load Configuration, 0x02 Load Data, 0x04 Read Data, 0x06 Increment Address, 0x08
// Begin Programming, 0x0E End Programming), the 16-bit data field (start bit, 14 bits, stop bit;
// read data driven from the second to the sixteenth rising edge), configuration space (user IDs
// at 0x2000-0x2003, configuration word at 0x2007) and the programming algorithm: a 100 us pulse
// between Begin and End Programming, verified after each pulse, at most 25 pulses until the word
// verifies (N), then 3N further pulses of overprogramming. Rules the sheets leave open, kept here:
// - Power: VDD at 4.0-6.0 V (the parts' operating range) with the VSS pin grounded; a second VDD
//   or VSS pin is joined inside, one grounded pin is enough.
// - Entry: VDD first, then MCLR from low to 12.0-13.5 V with clock and data low; MCLR high on an
//   unpowered chip harms it. The entry resets the address to 0; MCLR falling or VDD going ends
//   the mode. An address beyond the array reads the word its low bits name.
// - EPROM cells (no electrical erase): a pulse of at least 100 us programs the latch's 0 bits
//   into the cell, a 1 in the latch leaves a programmed bit programmed: bits only go from 1 to
//   0. A shorter pulse programs nothing. A word takes programming at its `pulsesNeeded`-th full
//   pulse (1 unless a test makes a cell hard), and every full pulse is counted per word, so that
//   a host's pulse-until-verify and overprogram counts can be checked. The configuration word
//   takes the same pulses as a program word.
// - Maximums, from the same algorithm: a word that took programming at its Nth pulse gets at most
//   3N more (the overprogramming), and one that has not taken gets at most 25; a pulse past these
//   overstresses the cells (a hazard). A single pulse may stand for at most the four 100 us pulses
//   a word taking at its first gets in all (400 us); a longer one is an over-long pulse.
// - A command other than End Programming while a pulse runs is a host fault; the pulse programs
//   nothing. Leaving the mode during a pulse programs nothing.
// - Code protection: with a CP bit at 0 the program memory reads as 0; the user IDs and the
//   configuration word stay readable. Unimplemented configuration bits read as 1.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct Pic14EpromSheet {
  std::string_view name;
  int pins = 40;
  int vdd = 32, vss = 31, mclr = 1, clock = 39, data = 40;  // chip pins
  std::uint32_t words = 2048;
  std::uint16_t implemented = 0x3F7F;  // configuration bits the part has
  std::uint16_t cp = 0x3330;           // code protection bits (protected when any is 0)
  std::uint16_t calibration = 0;       // the factory RETLW in the last word (0: none)
};

class Pic14EpromChip final : public ChipModel {
 public:
  explicit Pic14EpromChip(const Pic14EpromSheet& sheet);
  static constexpr std::uint16_t kConfigSpace = 0x2000;
  static constexpr double kPulseUs = 100;
  static constexpr double kMaxPulseUs = 4 * kPulseUs;
  static constexpr int kMaxTries = 25;

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.vss}; }
  int MaxMillivolts(int pin) const override { return pin == sheet_.mclr ? 14000 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const Pic14EpromSheet& sheet() const { return sheet_; }
  std::uint16_t ConfigRead() const;
  bool Protected() const { return (config & sheet_.cp) != sheet_.cp; }

  std::vector<std::uint16_t> code;
  std::vector<int> pulses;        // full pulses per program word
  std::vector<int> pulsesNeeded;  // full pulses a program word needs before it takes programming
  std::vector<int> tookAt;        // the full pulse a program word took programming at (0: not yet)
  std::array<std::uint16_t, 4> ids{0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF};
  std::uint16_t config = 0x3FFF;
  int configPulses = 0, shortPulses = 0, entries = 0;
  bool inMode = false;

 private:
  enum class Phase { kCommand, kDataIn, kDataOut };

  int Level(const Programmer& p, int chipPin) const;
  bool MclrHigh(const Programmer& p) const;
  void Command(Programmer& p, std::uint8_t c);
  void EndPulse(Programmer& p);
  std::uint16_t ReadWord() const;

  Pic14EpromSheet sheet_;
  bool lastPowered_ = false, lastMclr_ = false;
  int lastClock_ = 0;
  Phase phase_ = Phase::kCommand;
  int count_ = 0;
  std::uint32_t shift_ = 0;
  bool loading_ = false;
  std::uint16_t pc_ = 0, latch_ = 0x3FFF, out_ = 0;
  bool driving_ = false;
  int outBit_ = 0;
  bool pulsing_ = false;
  double pulseStart_ = 0;
};

// The part named by `chipName`, "" when none.
std::string_view Pic14EpromPartOf(std::string_view chipName);
std::shared_ptr<Pic14EpromChip> MakePic14Eprom(std::string_view part);

}  // namespace zelvar::sim
