#pragma once
// The Winbond W78E5xB/C, W78LE5x, W77LE516 and W77E532 flash 8051s in the parallel mode of set
// "W78E516": the application flash (AP) and, on the parts that have one, the 4 KB loader flash
// (LD) beside it.
//
// From the datasheets: the 80C51 DIP40 pinout (P1.0..P1.7 on pins 1 to 8, RST 9, P3.0..P3.7 on
// 10 to 17, GND 20, P2.0..P2.7 on 21 to 28, PSEN 29, ALE 30, EA/VPP 31, P0.7..P0.0 on 32 to 39,
// VCC 40), the sizes of the AP and LD flash, the Winbond maker byte 0xDA, the security byte
// at 0FFFFh of the loader space with the lock bit (bit 0) active at 0.
//
// No document in our library gives the mode table, so the model accepts exactly the writers'
// sequences, with these rules:
//  - Powered by 3.0 V or more on VCC with GND grounded; program and erase need 4.5 to 5.5 V.
//  - A0..A7 on P1, A8..A15 on P2, A16 on P3.7; P3.6 high selects the loader flash, where A0..A11
//    address the 4 KB and A0..A16 = 0FFFFh the security byte.
//  - The mode is P3.3, P3.2, P3.1, P3.0: 0000 read, 1011 maker byte, 1100 device byte (each with
//    P3.5 low), 0001 program (P3.5 high), 0110 erase (P3.5 high).
//  - The device byte is the model's own per part (no document here gives it); the catalogue lines
//    check none.
//  - Reads drive P0 while P3.4 is low. A locked chip reads 0xFF for code and both ID bytes.
//  - A byte programs on a P3.4 low pulse of at least 40 us, taking address and data at the fall;
//    the cells program by AND. AP and LD cells need EA/VPP at 4.5 to 5.5 V; the security byte
//    programs with EA low, as the writers send it.
//  - The erase starts as the last of its levels is set (erase mode, P3.5 and P3.6 high, P3.4 low)
//    and clears both flashes and the security byte once they have been held for 2 ms at 4.5 to
//    5.5 V; a shorter hold is lost.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class W78e516Chip final : public ChipModel {
 public:
  W78e516Chip(std::string name, std::uint32_t apBytes, std::uint32_t ldBytes, std::uint8_t device);

  std::string Name() const override { return name_; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> ap, ld;  // erased 0xFF
  std::uint8_t security = 0xFF;
  int writes = 0, erases = 0, lost = 0;
  bool Locked() const { return (security & 1) == 0; }

 private:
  int In(Programmer& p, int chipPin) const;
  bool High(Programmer& p, int chipPin) const;
  std::uint32_t Address(Programmer& p) const;
  std::uint8_t Data(Programmer& p) const;
  std::string Mode(Programmer& p) const;
  bool CycleSupply(Programmer& p) const;
  void Program(Programmer& p);

  std::string name_;
  std::uint8_t device_;
  std::vector<int> socket_;
  bool strobeWasLow_ = true, eraseWasSet_ = true;
  bool programming_ = false, erasing_ = false;
  double start_ = 0;
  std::uint32_t address_ = 0;
  std::uint8_t data_ = 0;
  bool bank_ = false;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
};

// "W78E51C", "W78E52C", "W78E54C" (16 KB), "W78E58B" and "W78LE58" (32 KB + 4 KB),
// "W78E516B", "W78LE516" and "W77LE516" (64 KB + 4 KB), "W77E532" (128 KB + 4 KB) by name.
std::shared_ptr<W78e516Chip> MakeW78e516(std::string_view part);
std::string_view W78e516PartOf(std::string_view chipName);

}  // namespace zelvar::sim
