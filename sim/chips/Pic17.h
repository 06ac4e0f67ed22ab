#pragma once
// Microchip PIC17C4x EPROM and OTP microcontrollers (PIC17C42A, PIC17C43, PIC17C44) in the 40-pin
// DIP, from the data sheet and the family's EPROM programming guide: pinout (VDD 1, VSS 10 and 31,
// MCLR/VPP 32, TEST 27, OSC1 19, RE0/ALE 30, RE2/WR 28, AD7:0 on RC7:RC0 at pins 9-2, AD15:8 on
// RD7:RD0 at pins 33-40), program memory of 2K, 4K or 8K 16-bit words, and the configuration
// bits at FE00h-FE0Fh, one bit a location: FOSC0 0, FOSC1 1, WDTPS0 2, WDTPS1 3, PM0 4, PM1 6,
// PM2 15 (FOSC1:0 11 EC, 10 XT, 01 RC, 00 LF; WDTPS1:0 00 WDT off (16-bit overflow timer),
// 01 postscaler 64, 10 postscaler 256, 11 postscaler 1; PM2:PM0 111 microprocessor, 110
// microcontroller, 101 extended microcontroller, 000 code-protected microcontroller). A programmed
// bit reads 0, an erased chip is thus EC, postscaler 1, microprocessor mode.
//
// The word-by-word protocol on those pins is the designs' (the programming guide's is not what
// the programmer's logic drives), so the model takes these rules, kept here:
// - Power: VDD at 4.5-5.5 V with VSS (pin 10) grounded; the second VSS is joined inside.
// - Entry: VDD first, TEST high, then MCLR from low to 12.75-13.25 V: the mode starts at address
//   0, phase 0. MCLR or TEST falling, or VDD going, ends it.
// - The sequencer: a rising OSC1 edge with ALE high latches the bus as the address (phase 0);
//   with ALE low it steps the phase 0 -> 1 -> 2 -> 0, the address going up by one as it comes
//   back to 0. In phase 1, ALE and WR low, the chip drives the word at the address on AD15:0.
// - Programming: WR rising in phase 0 with ALE high takes the bus word; WR falling programs it
//   when the pulse lasted 100 us to 10 ms with VDD at 4.75-5.25 V (cells AND the word: bits only
//   go from 1 to 0); shorter, or with VDD outside, it programs nothing; longer is a hazard. WR
//   rising in another phase, or outside program memory and FE00h-FE0Fh, is a host fault, and so
//   is a clock edge during a pulse. (A host thus latches the address with ALE high, pulses each
//   word with ALE still high, and steps on by three clocks with ALE low.)
// - Configuration: a pulse at FE0kh ANDs bit k with bit (k mod 8) of the word's low byte, so a
//   word with the low byte 0 programs it. FE00h-FE07h read FFh:bits 7-0, FE08h-FE0Fh FFh:bits
//   15-8; unimplemented bits read 1. Code-protected (PM2:PM0 000) program memory reads 0.
// - An address beyond the array and the configuration locations reads FFFFh.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct Pic17Sheet {
  std::string_view name;
  std::uint32_t words = 8192;
};

class Pic17Chip final : public ChipModel {
 public:
  explicit Pic17Chip(const Pic17Sheet& sheet);
  static constexpr std::uint16_t kConfigBase = 0xFE00;
  static constexpr std::uint16_t kImplemented = 0x805F;

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {10, 31}; }
  int MaxMillivolts(int pin) const override { return pin == kMclr ? 14000 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::uint16_t ConfigRead() const {
    return static_cast<std::uint16_t>(config | static_cast<std::uint16_t>(~kImplemented));
  }
  bool Protected() const { return (ConfigRead() & 0x8050) == 0; }

  std::vector<std::uint16_t> code;
  std::uint16_t config = 0xFFFF;
  bool inMode = false;
  int entries = 0, pulses = 0, shortPulses = 0;

 private:
  static constexpr int kVdd = 1, kVss = 10, kMclr = 32, kTest = 27, kClock = 19, kAle = 30,
                       kWr = 28;

  int Level(const Programmer& p, int chipPin) const;
  std::uint16_t Bus(const Programmer& p) const;
  std::uint16_t ReadWord() const;
  void EndPulse(Programmer& p);
  void Leave(Programmer& p);

  Pic17Sheet sheet_;
  bool lastPowered_ = false, lastMclr_ = false;
  int lastClock_ = 0, lastWr_ = 0;
  std::uint16_t address_ = 0;
  int phase_ = 0;
  bool driving_ = false, pulsing_ = false;
  std::uint16_t latch_ = 0xFFFF;
  double pulseStart_ = 0;
  int pulseVdd_ = 0;
};

// The part named by `chipName`, "" when none.
std::string_view Pic17PartOf(std::string_view chipName);
std::shared_ptr<Pic17Chip> MakePic17(std::string_view part);

}  // namespace zelvar::sim
