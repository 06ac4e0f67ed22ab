#pragma once
// The 20-pin AT89C1051, AT89C2051 and AT89C4051 in their flash programming mode, written from the
// Atmel datasheets.
//
// Rules the model follows:
//  - DIP20: RST/VPP 1, XTAL1 5, P3.2/PROG 6, the mode pins P3.3, P3.4, P3.5 (7, 8, 9) and P3.7
//    (11), GND 10, P1.0..P1.7 (12..19) the data, VCC 20. There are no address pins: an internal
//    counter is reset to 000H by a rising edge of RST and stepped by one on each rising edge of
//    XTAL1 while RST is high.
//  - Powered only by a supply of 4.5 V or more on VCC with GND grounded; losing it clears the
//    counter and the mode.
//  - The mode is the levels of P3.3, P3.4, P3.5, P3.7 with RST high (logic high or VPP):
//    read code LLHH, write code LHHH, chip erase HLLL, lock bit 1 HHHH, lock bit 2 HHLL,
//    signature LLLL.
//  - A write, lock or erase cycle is a P3.2 low pulse with RST at VPP (11.5 V to 12.5 V) at both
//    edges and mode, counter and data held through it. Byte and lock pulses are 1 to 110 µs; the
//    erase pulse is at least 10 ms. The byte write is self-timed and takes up to 2 ms: a pulse
//    that starts inside it is lost.
//  - Cells program by AND (erased cells read 0xFF); the chip erase clears cells and lock bits.
//  - P1 is driven in the read modes with P3.2 high and RST at a logic level (not VPP).
//  - Lock bit 1 disables further programming; lock bit 2 also disables verify, and the code then
//    reads 0xFF (the datasheet leaves the value open). The signature stays readable.
//  - Signature: 000H 1EH (Atmel), 001H 11H, 21H or 41H for the 1051, 2051 and 4051.
//  - RST/VPP takes up to 13 V; every other pin 7 V.
//  - Seated in the 40-pin socket with chip pin 1 in socket pin 11 (ground in 20, VCC in 30).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class At89cx051 final : public ChipModel {
 public:
  At89cx051(std::string name, std::uint32_t bytes, std::uint8_t device);

  std::string Name() const override { return name_; }
  int PinCount() const override { return 20; }
  std::vector<int> GroundPins() const override { return {kGnd}; }
  int MaxMillivolts(int pin) const override { return pin == kRst ? 13000 : 7000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;
  int SeatPin(int) const override { return 11; }

  std::vector<std::uint8_t> cells;
  std::uint8_t lockBits = 0;  // bit n set: lock bit n + 1 programmed
  std::uint32_t counter = 0;
  int writes = 0, erases = 0, lost = 0;

  static constexpr int kRst = 1, kXtal1 = 5, kProg = 6, kGnd = 10, kVcc = 20;

 private:
  enum class Mode { None, ReadCode, WriteCode, Erase, Lock1, Lock2, Signature };
  int In(Programmer& p, int chipPin) const;
  Mode ModeNow(Programmer& p) const;
  std::uint8_t DataIn(Programmer& p) const;
  void Complete(double widthUs, Programmer& p);

  std::string name_;
  std::uint8_t device_;
  std::vector<int> socket_;
  bool rstHigh_ = false, xtalHigh_ = false, progLow_ = false;
  bool pulsing_ = false, aborted_ = false;
  double pulseStart_ = 0, busyUntil_ = 0;
  Mode pulseMode_ = Mode::None;
  std::uint32_t pulseAddress_ = 0;
  std::uint8_t pulseData_ = 0;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
};

// "AT89C1051", "AT89C2051" or "AT89C4051"; nullptr for another name.
std::shared_ptr<At89cx051> MakeAt89cx051(std::string_view part);
// The part of MakeAt89cx051 a catalogue chip name holds; empty when none.
std::string_view At89cx051PartOf(std::string_view chipName);

}  // namespace zelvar::sim
