#pragma once
// The older Winbond W78E51/52/54/58/516 flash 8051s (and the W78E516B as the "W7851" set drives
// it) in their 12.5 V parallel programming mode.
//
// From the datasheets: the 80C51 DIP40 pinout (P1.0..P1.7 on pins 1 to 8, RST 9, P3.0..P3.7 on
// 10 to 17, GND 20, P2.0..P2.7 on 21 to 28, PSEN 29, ALE 30, EA/VPP 31, P0.7..P0.0 on 32 to 39,
// VCC 40), the sizes, the Winbond maker byte 0xDA and the security byte's lock bit (bit 0, active
// at 0) hiding the code.
//
// No document in our library gives this mode's table, so the model accepts exactly the host's
// sequences, with these rules:
//  - Powered by 2.4 V or more on VCC with GND grounded (the host reads at 2.5 V); program and
//    erase cycles need 4.5 to 5.5 V.
//  - A0..A7 on P1, A8..A15 on P2. The three option bytes sit at 0FFFDh (seed 1), 0FFFEh
//    (seed 0) and 0FFFFh (security), above the code array: on the 64 KB parts the code array
//    ends at 0FFFCh.
//  - The mode needs RST high. P3.3..P3.0 at 0000 is the code, at 0001 the signature (0FFh at
//    every address but A0: 0 the maker byte, 1 the device byte, the model's own per part).
//  - The chip drives P0 while P3.7 and P3.3 are low and P3.6 high is not required; a locked chip
//    reads 0FFh for code.
//  - A P3.6 fall without the cycle's VPP on EA/VPP starts nothing. A P3.6 low pulse with P3.7
//    high programs: at 0000 with EA/VPP at 12 to 13 V and at least
//    250 us, the byte on P0 taken at the fall goes by AND into the code or an option byte; at 0001
//    with EA/VPP at 13.5 to 14.5 V and at least 50 ms, the chip erase sets code and option bytes
//    to 0FFh.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class W7851Chip final : public ChipModel {
 public:
  W7851Chip(std::string name, std::uint32_t codeBytes, std::uint8_t device);

  std::string Name() const override { return name_; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int pin) const override { return pin == 31 ? 14500 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;                        // erased 0xFF
  std::array<std::uint8_t, 3> options{0xFF, 0xFF, 0xFF};  // 0FFFDh, 0FFFEh, 0FFFFh
  int writes = 0, erases = 0, lost = 0;
  bool Locked() const { return (options[2] & 1) == 0; }

 private:
  bool High(Programmer& p, int chipPin) const;
  std::uint32_t Address(Programmer& p) const;
  std::uint8_t Data(Programmer& p) const;
  std::string Mode(Programmer& p) const;
  void Complete(Programmer& p);

  std::string name_;
  std::uint8_t device_;
  std::vector<int> socket_;
  bool strobeWasLow_ = false, pulsing_ = false, aborted_ = false;
  std::string pulseMode_;
  double start_ = 0;
  std::uint32_t address_ = 0;
  std::uint8_t data_ = 0;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
};

// "W78E51", "W78E52", "W78E54", "W78E58", "W78E516" and "W78E516B" by name.
std::shared_ptr<W7851Chip> MakeW7851(std::string_view part);
// The part a catalogue name holds; the W78E516B is left to the W78E516 model, whose protocol
// its catalogue line names.
std::string_view W7851PartOf(std::string_view chipName);

}  // namespace zelvar::sim
