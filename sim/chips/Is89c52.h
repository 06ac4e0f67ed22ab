#pragma once
// The ISSI IS89C51/IS89C52 (5 V) and IS89LV51/IS89LV52 (3.3 V) flash 8051s in the parallel mode
// driven by command codes.
//
// From the datasheets: the 80C51 DIP40 pinout (P1.0..P1.7 on pins 1 to 8, RST 9, P3.0..P3.7 on
// 10 to 17, GND 20, P2.0..P2.7 on 21 to 28, PSEN 29, ALE/PROG 30, EA/VPP 31, P0.7..P0.0 on 32 to
// 39, VCC 40), the sizes (4 and 8 KB) and the three lock bits (1: no further programming, 2: also
// no verify).
//
// No document in our library gives the command-code interface, so the model accepts exactly the
// host's sequences, with these rules:
//  - Powered by VCC on pin 40 with GND grounded: 4.5 to 5.5 V for the IS89C parts, 2.7 to 3.6 V
//    for the IS89LV parts; outside that window every program, erase and lock cycle is lost.
//  - The mode needs RST high, PSEN low and P3.6, P3.7 high. A0..A7 on P1, A8..A12 on P2.0..P2.4.
//  - A rise of P2.6 latches P0 as the command: C0h read, 40h program a byte, 20h chip erase,
//    60h/70h/80h lock bit 1/2/3, A0h standby; any other byte is standby too.
//  - After C0h the chip drives P0 with the addressed byte while P2.7 is low and ALE/PROG high
//    (0xFF with lock bit 2).
//  - After 40h a PROG low pulse of at least 400 us programs P0 (taken at the fall) into the
//    addressed byte by AND, then the command is spent. After 20h or 60h..80h the pulse needs P0 at
//    D0h (the confirmation) and lasts at least 100 ms (erase: all bytes and lock bits to 1) or
//    500 us (a lock bit). EA/VPP must be 4.5 to 5.5 V through every pulse.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Is89c52Chip final : public ChipModel {
 public:
  Is89c52Chip(std::string name, std::uint32_t bytes, bool lowVoltage);

  std::string Name() const override { return name_; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;  // erased 0xFF
  std::uint8_t lockBits = 0;        // bit n: lock bit n + 1 programmed
  int writes = 0, erases = 0, lost = 0;

 private:
  bool High(Programmer& p, int chipPin) const;
  std::uint32_t Address(Programmer& p) const;
  std::uint8_t Data(Programmer& p) const;
  bool InMode(Programmer& p) const;
  bool CycleSupply(Programmer& p) const;
  void Complete(Programmer& p);

  std::string name_;
  bool lowVoltage_;
  std::vector<int> socket_;
  std::uint8_t command_ = 0xA0;
  bool latchWasLow_ = false, progWasLow_ = false;
  bool pulsing_ = false, aborted_ = false;
  double start_ = 0;
  std::uint32_t address_ = 0;
  std::uint8_t data_ = 0;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
};

// "IS89C51", "IS89C52", "IS89LV51", "IS89LV52" by name.
std::shared_ptr<Is89c52Chip> MakeIs89c52(std::string_view part);
std::string_view Is89c52PartOf(std::string_view chipName);

}  // namespace zelvar::sim
