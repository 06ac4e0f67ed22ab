#pragma once
// Microchip PIC16C54/55/56/57/58 (12-bit core, EPROM, one-time programmable in a plastic
// package) in their parallel program/verify mode, from the maker's PIC16C5X programming guide
// and data sheet: pinouts, sizes, the twelve data lines (RA0-RA3 bits 0-3, RB0-RB7
// bits 4-11), OSC1 stepping the address, the program pulse on T0CKI, the configuration word
// (FOSC1:FOSC0 bits 0-1, WDTE bit 2, CP bit 3; bits 4-11 not implemented, read as 1) ahead of word
// 0 and the four user-ID words after the program memory. The sheet's timing diagrams leave some
// points to the reader; the model keeps these rules (it accepts the host's sequences):
// - Power: VDD at 2.5-6.25 V with the VSS pin grounded.
// - Entry: VDD first, then MCLR into VIHH (12.75-13.25 V) while T0CKI and OSC1 are low; the
//   address starts at the configuration word. MCLR high on an unpowered chip harms it; MCLR
//   falling or VDD going ends the mode.
// - Verify: while OSC1 is high (and T0CKI high) the chip drives the word at the address on its
//   data lines; OSC1 falling steps the address (configuration word, word 0 ... the last word,
//   the user IDs; beyond them the chip reads 0xFFF and takes nothing).
// - Program: T0CKI falling latches the data lines (a line nobody drives reads 1); T0CKI rising
//   ends the pulse, and a pulse of at least 100 us programs the latch's 0 bits into the cell (bits
//   never return to 1); a shorter pulse changes nothing. A pulse puts the chip in its program
//   state for the rest of the mode: its outputs stay off, so the host may step the address with
//   its own word still on the lines, and verifies in a new entry.
// - Code protection: with CP at 0 the program memory reads as 0; configuration and IDs stay
//   readable.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct Pic16c5xSheet {
  std::string_view name;
  int pins = 18;
  int vdd = 14, vss = 5, mclr = 4, t0cki = 3, osc1 = 16;  // chip pins
  std::array<int, 12> data{17, 18, 1, 2, 6, 7, 8, 9, 10, 11, 12, 13};
  std::uint32_t words = 512;
};

class Pic16c5xChip final : public ChipModel {
 public:
  explicit Pic16c5xChip(const Pic16c5xSheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.vss}; }
  int MaxMillivolts(int pin) const override { return pin == sheet_.mclr ? 14000 : 7000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const Pic16c5xSheet& sheet() const { return sheet_; }
  std::uint16_t ConfigRead() const { return static_cast<std::uint16_t>((config & 0x0F) | 0xFF0); }

  std::vector<std::uint16_t> code;
  std::array<std::uint16_t, 4> ids{0xFFF, 0xFFF, 0xFFF, 0xFFF};
  std::uint16_t config = 0xFFF;
  bool inMode = false;
  int entries = 0, pulses = 0, shortPulses = 0;

 private:
  static constexpr std::uint32_t kAtConfig = 0xFFFFFFFF;
  int Level(const Programmer& p, int chipPin) const;
  bool MclrHigh(const Programmer& p) const;
  std::uint16_t ReadWord() const;
  std::uint16_t* Cell();

  Pic16c5xSheet sheet_;
  bool lastPowered_ = false, lastMclr_ = false;
  int lastT0cki_ = 0, lastOsc1_ = 0;
  std::uint32_t pc_ = kAtConfig;
  std::uint16_t latch_ = 0xFFF, out_ = 0;
  bool driving_ = false, pulsed_ = false, armed_ = false;
  double pulseStart_ = 0;
};

// The part named by `chipName`, "" when none.
std::string_view Pic16c5xPartOf(std::string_view chipName);
std::shared_ptr<Pic16c5xChip> MakePic16c5x(std::string_view part);

}  // namespace zelvar::sim
