#pragma once
// Flash 80C51s with two flash blocks in their "external host mode": the SST FlashFlex51 parts
// SST89C54, SST89C58, SST89E5xRD, SST89E554RC, SST89E564RD and the P89V51RB2/RC2/RD2 that share
// their flash interface.
//
// From the SST89C54/58 and SST89E/V5xx datasheets' external host mode:
//  - DIP40 80C51 pinout: P1 A0..A7 (pins 1..8), P2.0..P2.5 A8..A13 (21..26), P3.4 A14 (14), P3.5
//    A15 (15), P0 the data (39 down to 32), RST 9, PSEN# 29, PROG#/ALE 30, EA# 31, VDD 40, VSS
//    20; the 5 V parts run from 4.5 V to 5.5 V.
//  - The mode is entered by PSEN# falling from high to low while RST is held high, and lasts while
//    RST = 1 and PSEN# = 0. A Read-ID must "arm" the device: no other command is taken until one
//    has been read.
//  - The command is the binary code on P3.7, P3.6 (P3[7:6]) and P2.7, P2.6 (P2[7:6]); the data
//    sheet's codes: Read-ID 00/00 (manufacturer 0xBF at 30H, the device at 31H), Byte-Verify
//    11/00, Byte-Program 11/10 (P0 the data in), Chip-Erase 00/01, Prog-SB1 11/11, Prog-SB2
//    00/11, Prog-SB3 01/01. The SST89C54/58 program their re-map bits with 10/00 (RB0) and 10/01
//    (RB1); the later parts take 10/01 with A15..A8 = 55H (Select-Block0), A5H (Select-Block1),
//    5AH (Prog-SC0) and AAH (Prog-SC1), and 10/00 at 55H the 6-clock bit.
//  - A command is latched by a PROG# low pulse with EA# high and runs on its own: Byte-Program and
//    the bit programs for Tpb, Chip-Erase for Tce. A pulse while one runs is lost; power taken
//    away during Chip-Erase leaves the chip as it was.
//  - Flash programs bits from 1 to 0; Chip-Erase sets every byte of both blocks to 0xFF and
//    clears the security, configuration and re-map bits.
//  - A security bit programmed: Byte-Program is refused and Byte-Verify reads 0xFF.
//  - Block 1 lies in the 64 KB map where block 0 leaves room (F000H for the 4 KB block of the
//    SST89C5x, E000H for the 8 KB block of the SST89E554RC and P89V51RB2/RC2); beside a 64 KB
//    block 0 it is reached by Select-Block1, then on A12..A0.
//
// Our own rules where the sheets leave values open: Tpb 50 us, Tce 10 ms; the device bytes; the
// Read-ID space's 60H (security bits, 0 programmed, bits 0..2 SB1..SB3) and 61H (bit 0 SC0, bit 1
// SC1, bit 2 the 6-clock bit, bits 3 and 4 RB0 and RB1, 0 programmed); EA# higher than 6.5 V is
// overstress.
//
// The 3 V parts (SST89V554RC, SST89V564RD) run from 2.7 V to 3.6 V: they are the E parts' flash
// at that supply, a VDD above 3.6 V or any other pin above VDD's 3.6 V plus 0.5 V is overstress.
// Their device bytes are those of the E parts (ours too).
//
// The SST89E52RD and SST89E54RD (SST's SST89E5xRD2/RD sheet: 8 or 16 KB block 0 and an 8 KB block
// 1, 4.5 V to 5.5 V, the same external host mode) and the SST89E51RD, their 4 KB member, keep
// block 1 at E000H as the SST89E554RC does. No SST sheet to hand names the SST89E51RD: it is
// modelled as the family's mode with the 4 KB block 0 its set row walks. Their device bytes are
// ours.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct Sst89Sheet {
  std::string_view name;
  std::uint32_t block0Bytes = 0;
  std::uint32_t block1Bytes = 0;
  std::uint32_t block1Start = 0;  // chip address; 0x10000: behind Select-Block1
  std::uint8_t device = 0;
  bool remapBits = false;   // SST89C5x: 10/00 and 10/01 program RB0 and RB1
  bool lowVoltage = false;  // the "V" parts: 2.7 V to 3.6 V
};

class Sst89Chip final : public ChipModel {
 public:
  explicit Sst89Chip(const Sst89Sheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int pin) const override;
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const Sst89Sheet& sheet() const { return sheet_; }
  std::vector<std::uint8_t> block0, block1;
  std::uint8_t security = 0;  // bit n: SB(n + 1) programmed
  bool sc0 = false, sc1 = false, sixClock = false, rb0 = false, rb1 = false;
  int erases = 0;
  int programmed = 0;  // bytes programmed
  int lost = 0;        // pulses refused (not armed, busy, EA# low, secured)

 private:
  enum class Cmd { None, ReadId, Verify, Program, Erase, Sb1, Sb2, Sb3, Mode1000, Mode1001 };
  int In(Programmer& p, int pin) const { return p.InputMillivolts(socket_[pin]); }
  Cmd CommandNow(Programmer& p) const;
  std::uint32_t AddressNow(Programmer& p) const;
  std::uint8_t DataIn(Programmer& p) const;
  std::uint8_t* Cell(std::uint32_t a);
  std::uint8_t ReadId(std::uint32_t a) const;
  void Run(Programmer& p);

  Sst89Sheet sheet_;
  std::vector<int> socket_;
  bool inMode_ = false, ready_ = false, armed_ = false, block1_ = false;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
  bool progWasLow_ = false;
  Cmd pulseCmd_ = Cmd::None;
  std::uint32_t pulseAddress_ = 0;
  std::uint8_t pulseData_ = 0;
  double busyUntil_ = 0;
  bool erasing_ = false;
};

// "SST89C54", "SST89C58", "SST89E51RD", "SST89E52RD", "SST89E54RD", "SST89E554RC", "SST89E564RD",
// "SST89V554RC", "SST89V564RD", "P89V51RB2", "P89V51RC2", "P89V51RD2"; nullptr otherwise.
std::shared_ptr<Sst89Chip> MakeSst89(std::string_view part);
std::string_view Sst89PartOf(std::string_view chipName);

}  // namespace zelvar::sim
