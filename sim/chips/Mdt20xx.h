#pragma once
// MDT2005, MDT2010, MDT2030 (18 pins: RA2 1, RA3 2, RTCC 3, MCLR/VPP 4, VSS 5, RB0-RB7 6-13,
// VDD 14, OSC2 15, OSC1 16, RA0 17, RA1 18; the MDT2051 on the same pinout, 1K words) and MDT2015,
// MDT2020 (28 pins: RTCC 1, VDD 2, VSS 4, RA0-RA3 6-9, RB0-RB7 10-17, RC0-RC7 18-25, OSC2 26, OSC1
// 27, MCLR/VPP 28): one-time-programmable 14-bit words (512, 1K or 2K) and one configuration word,
// on the pinouts of the datasheets. Their programming mode is not published; the model is the
// smallest chip that accepts the MDT parallel sequences, by these rules:
// - Powered: 3.0 V to 5.5 V on VDD with VSS grounded. MCLR takes up to 13.5 V, any other pin
//   6.5 V.
// - Entry: MCLR rising to 11.5 V or more while powered latches the space from RB0 (1 the
//   configuration word, 0 program memory) and places the counter before word 0. The first four
//   OSC1 rising edges after entry start the mode (the MDT2051 needs none); after them every four
//   rising edges step the counter to the next word.
// - RA1 low selects the low seven bits of the word, high the upper seven; while RA2 is low the
//   chip drives the selected half on RB0-RB6.
// - RA0 low then high programs the selected half from RB0-RB6 when it stayed low at least 1 ms
//   (OTP: a cell bit only goes from 1 to 0). A shorter pulse programs nothing.
// - Leaving the mode (MCLR below 11.5 V or power lost) forgets the counter.
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Mdt20xxChip final : public ChipModel {
 public:
  Mdt20xxChip(std::string_view part, int pins, int words, int startEdges = 4);

  std::string Name() const override { return std::string(part_); }
  int PinCount() const override { return pins_; }
  std::vector<int> GroundPins() const override { return {pins_ == 18 ? 5 : 4}; }
  int MaxMillivolts(int pin) const override { return pin == Pin(kMclr) ? 13500 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint16_t> code;
  std::uint16_t config = 0x3FFF;
  // Programming pulses too short to program.
  int shortPulses = 0;

 private:
  enum Signal { kMclr, kVdd, kRa0, kRa1, kRa2, kOsc1, kRb0 };
  int Pin(Signal s) const;
  int Level(const Programmer& p, Signal s) const;
  std::uint16_t* Cell();

  std::string_view part_;
  int pins_;
  int startEdges_;
  bool inMode_ = false;
  int space_ = 0;
  int counter_ = -1;
  int edges_ = 0;  // OSC1 rising edges since entry
  int lastOsc_ = 0, lastRa0_ = 1;
  double pulseStart_ = 0;
  bool driving_ = false;
  int half_ = 0;
};

// The MDT20xx part `chipName` names ("MDT2005" ...), "" when none.
std::string_view Mdt20xxPartOf(std::string_view chipName);
std::shared_ptr<Mdt20xxChip> MakeMdt20xx(std::string_view part);

}  // namespace zelvar::sim
