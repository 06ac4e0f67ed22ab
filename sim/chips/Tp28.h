#pragma once
// The PT2804 and PT2808 flash 8051s (TP28xx sets) in the programming mode their writers drive
// through the "tp2804" design's control lines.
//
// From the datasheet: the 80C51 DIP40 pinout (P1.0..P1.7 on pins 1 to 8, RST 9, P3.4..P3.7 on 14
// to 17, GND 20, P2.0..P2.7 on 21 to 28, PSEN 29, ALE 30, EA 31, P0.7..P0.0 on 32 to 39, VCC 40),
// a 4.5 V to 5.5 V supply, 64 KB (PT2804) or 128 KB (PT2808) of flash.
//
// No public document gives the programming mode: the model accepts exactly the host's sequences
// the sets send, and keeps these rules of its own:
//  - Powered by 4.5 V or more on VCC with GND grounded. A rise of RST with VCC on enters the
//    programming mode; power-down leaves it.
//  - A0..A7 on P1, A8..A15 on P2 and, on the PT2808, A16 on P3.5 (pin 15); the data on P0.
//  - Read: RST, P3.7, PSEN, EA, P3.6 and P3.4 high, ALE low: the chip drives P0.
//  - Page load: EA low, ALE and PSEN high, P3.6 and P3.4 low: a rise of P3.7 takes address and
//    data into the page buffer. A rise of P3.6 with EA low, ALE high, PSEN low and P3.4 high
//    programs the buffered bytes (by AND) and empties the buffer.
//  - Chip erase: P3.4 falling with EA and ALE low, held low 150 ms or more, then rising with EA,
//    ALE and P3.6 low and PSEN high writes 0xFF to every cell.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Tp28Chip final : public ChipModel {
 public:
  Tp28Chip(std::string name, std::uint32_t bytes);

  std::string Name() const override { return name_; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;  // erased 0xFF
  int writes = 0, erases = 0, lost = 0;

 private:
  bool HighAt(Programmer& p, int chipPin) const;
  std::uint32_t AddressNow(Programmer& p) const;

  std::string name_;
  std::vector<int> socket_;
  bool entered_ = false, rstWasHigh_ = true, strobeWasHigh_ = true, commitWasHigh_ = true,
       eraseLineWasHigh_ = true;
  bool eraseArmed_ = false;
  double eraseFell_ = 0;
  std::map<std::uint32_t, std::uint8_t> page_;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
};

// "PT2804" or "PT2808"; nullptr for another name.
std::shared_ptr<Tp28Chip> MakeTp28(std::string_view part);
std::string_view Tp28PartOf(std::string_view chipName);

}  // namespace zelvar::sim
