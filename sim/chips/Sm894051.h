#pragma once
// SyncMOS SM894051 (and its 1 KB and 2 KB kin): 20-pin flash 8051s programmed through a register
// interface.
//
// From the datasheet: the 20-pin 8051 pinout (RST/VPP 1, P3.0 2, P3.1 3, XTAL2 4, XTAL1 5,
// P3.2..P3.5 on 6 to 9, GND 10, P3.7 11, P1.0..P1.7 on 12 to 19, VCC 20), a 4.0 V to 5.5 V
// supply, 4 KB of flash.
//
// No public document gives the programming interface: the model accepts exactly the host's
// sequences the set sends, and keeps these rules of its own:
//  - Powered by 4.0 V or more on VCC with GND grounded. The interface answers only with RST/VPP
//    at 9.5 V to 11 V (the writers give 10.5 V); the pin is rated 11.5 V.
//  - A rise of XTAL1 latches P1 into the register P3.1 (high bit) and P3.0 choose: 0 the address
//    high byte, 1 the low byte, 2 the data byte, 3 the command.
//  - Command 0 reads: while P3.3 is low the chip drives P1 with the byte at the address (0xFF
//    when locked). Commands 35 (program the byte, by AND), 19 (lock) and 131 (chip erase, which
//    also clears the lock) run while P3.3 is low and take effect as it rises, provided it was low
//    long enough (150 µs, 150 µs, 30 ms), VCC was 4.5 V to 5.5 V (4.25 V taken: the writers
//    program at 4.4 V) and P3.2 and P3.4 were high (program enable); otherwise they are lost.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Sm894051Chip final : public ChipModel {
 public:
  explicit Sm894051Chip(std::uint32_t bytes = 4096, std::string name = "SM894051");

  std::string Name() const override { return name_; }
  int PinCount() const override { return 20; }
  std::vector<int> GroundPins() const override { return {10}; }
  int MaxMillivolts(int pin) const override { return pin == 1 ? 11500 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;  // erased 0xFF
  bool locked = false;
  int writes = 0, erases = 0, lost = 0;

 private:
  int In(Programmer& p, int chipPin) const;
  bool HighAt(Programmer& p, int chipPin) const;
  std::uint32_t Address() const;

  std::string name_;
  std::vector<int> socket_;
  std::uint8_t regs_[4] = {0, 0, 0xFF, 0xFF};
  bool latchWasHigh_ = false, execWasLow_ = false;
  double execStart_ = 0;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
};

// "SM894051", "SM892051" or "SM891051"; nullptr for another name.
std::shared_ptr<Sm894051Chip> MakeSm894051(std::string_view part);
std::string_view Sm894051PartOf(std::string_view chipName);

}  // namespace zelvar::sim
