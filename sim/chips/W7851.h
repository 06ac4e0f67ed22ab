#pragma once
// The older Winbond MTP 8051s (W78E51, W78E52, W78E54, W78E58, W78E516; the W78E5xB; the flash
// W77E54 and W77E58) in the MTP-ROM programming mode of their datasheets.
//
// From the datasheets: the 80C51 DIP40 pinout (P1.0..P1.7 on pins 1 to 8, RST 9, P3.0..P3.7 on
// 10 to 17, GND 20, P2.0..P2.7 on 21 to 28, PSEN 29, ALE 30, EA/VPP 31, P0.7..P0.0 on 32 to 39,
// VCC 40), the sizes, and the mode:
//  - Every operation with RST high, ALE low and PSEN high. The control pins are P3.0 (A9CTRL),
//    P3.1 (A13CTRL), P3.2 (A14CTRL), P3.3 (OECTRL), P3.6 (CE) and P3.7 (OE); A15..A0 on P2 and
//    P1, D7..D0 on P0.
//  - Read: control pins low, CE and OE low, EA at VIH; OE high disables the output.
//  - Program: control pins low, OE high, EA at VCP (12.5 V), a CE low pulse; the byte on P0 goes
//    into the cells by AND. Program verify: CE high and OE low at VCP.
//  - Erase: A9CTRL high, the others low, OE high, EA at VEP (14.5 V), A0 low and P0 at 0FFh, a CE
//    low pulse: every cell and the security bits back to 1. Erase verify: CE high, OE low at VEP.
//  - Company ID: A9CTRL high, CE and OE low, EA at VIH: 0DAh at A0 low, the device byte at A0
//    high.
//  - The security register at 0FFFFh, read and programmed like a code byte: bit 0 the lock (at
//    0 the code and the register read invalid, here 0FFh), bit 1 MOVC inhibit, bit 2 encryption;
//    only the erase sets them back.
// Not in the copies of the datasheets we hold, so the model's own: the VCP and VEP windows
// (Winbond's EPROM tolerance of 0.25 V either side: 12.25 to 12.75 V, 14.25 to 14.75 V), the
// shortest pulses (its W27C512's 95 us program and 95 ms erase pulses), the device bytes, the
// supply the mode reads at (2.4 V or more; program and erase need 4.5 to 5.5 V), and two option
// bytes at 0FFFDh and 0FFFEh below the security register, which the 64 KB parts' code array leaves
// free (it ends at 0FFFCh).
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
  int MaxMillivolts(int pin) const override { return pin == 31 ? 15000 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;                        // erased 0xFF
  std::array<std::uint8_t, 3> options{0xFF, 0xFF, 0xFF};  // 0FFFDh, 0FFFEh, 0FFFFh (security)
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

// "W78E51", "W78E52", "W78E54", "W78E58", "W78E516", "W78E516B", "W77E54" and "W77E58" by name.
std::shared_ptr<W7851Chip> MakeW7851(std::string_view part);
// The part a catalogue name is; the W78E516B is left to the W78E516 model, whose mode its
// catalogue line names.
std::string_view W7851PartOf(std::string_view chipName);

}  // namespace zelvar::sim
