#pragma once
// 80C51 Rx2 flash parts (AT89C51RD2, T89C51RD2, T89C51RC2 class) in their parallel programming
// mode, for the Rx2 sets.
//
// Rules the model follows (the programming interface of these parts as the Rx2 family describes
// it; the mode codes, entry code and signature bytes are not checked here against each maker's
// datasheet):
//  - DIP40 pins as the 80C51: P1 A0..A7, P2.0..P2.5 A8..A13 (21..26), P3.4 A14 (14), P3.5 A15
//    (15), P0 the data (39 down to 32), RST 9 high and PSEN 29 low in every mode, EA 31 at the
//    logic level (up to 5.5 V: the parts program at VCC, and 12 V on EA is over their rating).
//  - The mode is the levels of P2.6, P2.7, P3.6, P3.7 and P3.3 (27, 28, 16, 17, 13): 00111 reads
//    code, 00001 the signature space, 00000 the configuration block; a PROG strobe in 11001 with
//    0x69 enters programming (parts that need the entry code), two strobes in 10100 with 0x55 and
//    0xAA unlock writes until power-off; strobes in 01010 load the page buffer; a long strobe
//    (PROG low for 5 µs or more) in 01110 programs the loaded bytes (each replaces the old one),
//    in 10000 erases the chip (code to 0xFF, lock bits cleared), in 11010 writes the loaded bytes
//    0, 1, 4 and 5 as BSB, BSV, HSB and SSB; a strobe in 11000 takes the HSB, committed by a long
//    strobe in 11000 or 11011.
//  - HSB bit 1 at 0 (LB1) disables verify: code reads 0xFF; bit 2 at 0 (LB2) disables writes.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class Rx2Chip final : public ChipModel {
 public:
  Rx2Chip(std::string name, std::uint32_t bytes, bool needsEntry);

  std::string Name() const override { return name_; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;
  std::uint8_t bsb = 0xFF, bsv = 0xFC, hsb = 0xFF, ssb = 0xFF;
  std::array<std::uint8_t, 4> signature = {0x58, 0xD7, 0xF7, 0xFF};
  int pages = 0;  // page programs that took
  int erases = 0;

 private:
  int In(Programmer& p, int pin) const { return p.InputMillivolts(socket_[pin]); }
  int Mode(Programmer& p) const;
  std::uint32_t AddressNow(Programmer& p) const;
  std::uint8_t DataIn(Programmer& p) const;
  std::uint8_t ReadAt(int mode, std::uint32_t a) const;
  void Strobe(int mode, std::uint32_t a, std::uint8_t d, bool isLong);

  std::string name_;
  bool needsEntry_;
  std::vector<int> socket_;
  bool entered_ = false, unlocked_ = false;
  int unlockStep_ = 0;
  std::vector<std::pair<std::uint32_t, std::uint8_t>> page_;
  std::uint8_t pendingHsb_ = 0xFF;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
  bool progWasLow_ = false;
  double lowSince_ = 0;
  int pulseMode_ = -1;
  std::uint32_t pulseAddress_ = 0;
  std::uint8_t pulseData_ = 0;
};

// "AT89C51RD2" (64 KB, entry code), "AT89C51RB2" (16 KB, entry code), "T89C51RD2" (64 KB),
// "T89C51RC2" (32 KB), "T89C51RB2" (16 KB); nullptr otherwise.
std::shared_ptr<Rx2Chip> MakeRx2(std::string_view part);
std::string_view Rx2PartOf(std::string_view chipName);

}  // namespace zelvar::sim
