#pragma once
// The 20-pin 97C1051/97C2051 flash 8051s (1 and 2 KB) in the programming mode the "P97C2051" set
// drives: an address counter stepped by toggles of P3.0, data on P1, the mode on P3.3, P3.4, P3.5,
// P3.7 and 12.5 V on RST/VPP.
//
// From the parts' DIP20 pinout (the 8051 20-pin one): RST/VPP 1, P3.0 2, XTAL1 5, P3.2/PROG 6,
// P3.3..P3.5 7..9, GND 10, P3.7 11, P1.0..P1.7 12..19, VCC 20.
//
// No document in our library gives this programming mode, so the model accepts exactly the host's
// sequences, with these rules:
//  - Powered only by 4.5 V or more on VCC with GND grounded; losing it clears counter and mode.
//  - The counter is cleared while RST is low. After RST rises, the first edge of P3.0 ends the
//    reset; every later edge, rising or falling, steps the counter by one.
//  - The mode is P3.3, P3.4, P3.5, P3.7 with RST high (logic high or VPP): read code 0011, write
//    code 0111, lock bit 1 1111, lock bit 2 1100, signature 0000.
//  - A byte programs (by AND) when 25 PROG pulses of at least 40 us in a row, each with RST at
//    12 to 13 V at both edges, have held the same counter and data; a lock bit when 25 pulses in a
//    row held its mode with RST at VPP.
//  - P1 is driven in the read modes with PROG high and RST at a logic level (not VPP).
//  - Lock bit 1 stops programming; lock bit 2 makes the code read 0xFF. The signature stays
//    readable; its bytes are the model's own (97H, then 11H or 21H), the catalogue's the same.
//  - Seated in the 40-pin socket with chip pin 1 in socket pin 11.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class P97c2051Chip final : public ChipModel {
 public:
  P97c2051Chip(std::string name, std::uint32_t bytes, std::uint8_t device);

  std::string Name() const override { return name_; }
  int PinCount() const override { return 20; }
  std::vector<int> GroundPins() const override { return {kGnd}; }
  int MaxMillivolts(int pin) const override { return pin == kRst ? 13000 : 7000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;
  int SeatPin(int) const override { return 11; }

  std::vector<std::uint8_t> cells;
  std::uint8_t lockBits = 0;  // bit n: lock bit n + 1 programmed
  std::uint32_t counter = 0;
  int writes = 0, lost = 0;

  static constexpr int kRst = 1, kStep = 2, kProg = 6, kGnd = 10, kVcc = 20;

 private:
  enum class Mode { None, ReadCode, WriteCode, Lock1, Lock2, Signature };
  int In(Programmer& p, int chipPin) const;
  Mode ModeNow(Programmer& p) const;
  std::uint8_t DataIn(Programmer& p) const;
  void Complete(double widthUs, Programmer& p);

  std::string name_;
  std::uint8_t device_;
  std::vector<int> socket_;
  bool rstHigh_ = false, stepHigh_ = false, resetEnding_ = false, progLow_ = false;
  bool pulsing_ = false, aborted_ = false;
  double pulseStart_ = 0;
  Mode pulseMode_ = Mode::None;
  std::uint8_t pulseData_ = 0;
  int train_ = 0;
  Mode trainMode_ = Mode::None;
  std::uint32_t trainAddress_ = 0;
  std::uint8_t trainData_ = 0;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
};

// "97C1051" or "97C2051"; nullptr for another name.
std::shared_ptr<P97c2051Chip> MakeP97c2051(std::string_view part);
std::string_view P97c2051PartOf(std::string_view chipName);

}  // namespace zelvar::sim
