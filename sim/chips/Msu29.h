#pragma once
// The MSU2964 flash 8051 in its programming mode, a JEDEC-style command interface.
//
// From the datasheet: the 80C51 DIP40 pinout (P1.0..P1.7 on pins 1 to 8, RST 9, P3.0..P3.7 on 10
// to 17, GND 20, P2.0..P2.7 on 21 to 28, PSEN 29, ALE 30, EA 31, P0.7..P0.0 on 32 to 39, VCC 40),
// a 4.5 V to 5.5 V supply, 64 KB of flash.
//
// No public document gives the programming mode: the model accepts exactly the host's sequences
// the set sends, and keeps these rules of its own:
//  - Powered by 4.5 V or more on VCC with GND grounded; RST high.
//  - A0..A7 on P0, A8..A15 on P2, the data on P1. P3.0..P3.6 select the mode: 0000111 commands
//    and reads, 0101111 the lock pulse, 1001111 the unlock pulse.
//  - In the command mode with PSEN low, ALE low and P3.7 high the chip drives P1 with the byte at
//    the address (0xFF when locked).
//  - With PSEN high and ALE low, a rise of P3.7 is a write cycle taking address and data: AA at
//    5555, 55 at 2AAA, then A0 at 5555 and the byte at its address (programmed by AND), or 80,
//    AA, 55 and 10 at 5555 for the chip erase; any other cycle starts the sequence again. A locked
//    chip ignores both. The erase takes 800 ms and is lost if VCC goes before.
//  - P3.7 low for 200 µs or more in the lock mode locks the chip; for 500 µs or more in the
//    unlock mode it unlocks it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Msu29Chip final : public ChipModel {
 public:
  Msu29Chip();

  std::string Name() const override { return "MSU2964"; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;  // erased 0xFF
  bool locked = false;
  int writes = 0, erases = 0, lost = 0;

 private:
  int In(Programmer& p, int chipPin) const;
  bool HighAt(Programmer& p, int chipPin) const;
  std::uint32_t AddressNow(Programmer& p) const;
  std::uint8_t DataNow(Programmer& p) const;
  void Cycle(std::uint32_t a, std::uint8_t d, Programmer& p);

  std::vector<int> socket_;
  bool weWasHigh_ = true;
  double weFell_ = 0;
  std::string modeAtFall_;
  int step_ = 0;  // cycles of the command sequence taken
  bool eraseCommand_ = false;
  bool erasing_ = false;
  double eraseStart_ = 0;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
};

std::shared_ptr<Msu29Chip> MakeMsu29(std::string_view part);
std::string_view Msu29PartOf(std::string_view chipName);

}  // namespace zelvar::sim
