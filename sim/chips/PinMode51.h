#pragma once
// 40-pin flash 8051s whose parallel programming mode no public document describes, modelled by a
// table of the mode pins' levels (STC89C5xRC). From the datasheets: the 80C51 DIP40 pinout (P1.0..
// P1.7 on pins 1 to 8, RST 9, P3.0..P3.7 on 10 to 17, GND 20, P2.0..P2.7 on 21 to 28, PSEN 29,
// ALE 30, EA 31, P0.7..P0.0 on 32 to 39, VCC 40), the supply range and the code and second
// ("EEPROM") areas of each part.
//
// The model accepts exactly the host's sequences the set sends, with these rules:
//  - Powered by `vccMin` or more on VCC with GND grounded; a cycle needs `cycleMin` to 5.5 V.
//  - A0..A7 on P1, A8..A15 on P2, the data on P0.
//  - The operation is the levels of the table's mode pins; a row's strobe pin is left out of its
//    pattern. In the read row the chip drives P0 with the byte at the address.
//  - A cycle starts as its strobe pin goes to its active level with the row's pattern matched,
//    takes address and data then, needs them and the pattern held, and takes effect as the strobe
//    leaves the active level after at least the row's time; a shorter cycle is lost.
//  - Cells and the two configuration bytes (addresses 0 and 1 of the configuration row) program
//    by AND; the erase writes 0xFF to both.
//  - A part with a latched address (STC89LE5xAD/X2) takes A8..A15 from its table's pins and the
//    low byte from P0 at the fall of its latch pin; its read rows drive P0 only while their
//    enable pin is low, with the code, the configuration byte or the signature byte of A0.
//    These parts run their programming mode at 5 V, as the writers drive them.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

enum class PinModeOp { Read, ReadConfig, Signature, Program, Config, Erase };

struct PinModeSheet {
  std::string name;
  std::uint32_t bytes = 0;  // the address space the part answers, 0 .. bytes - 1
  // No memory from holeStart up to holeEnd (the smaller STC89 parts' gap between the code and the
  // second area): a program there is lost and a read gives 0xFF, as for an address past the part.
  std::uint32_t holeStart = 0, holeEnd = 0;
  int vccMin = 3800, cycleMin = 4500;
  std::vector<int> modePins;  // chip pins, in the order of Row::levels
  struct Row {
    const char* levels;  // '1' high, '0' low, 'x' either
    PinModeOp op;
    int strobe = 0;  // chip pin
    bool strobeHigh = true;
    double minUs = 0;
    int enable = 0;  // reads: the chip pin that enables the outputs while low (0: none)
  };
  std::vector<Row> rows;
  std::vector<int> highAddress;  // A8..A15 (empty: P2)
  int latchPin = 0;              // A0..A7 latched from P0 as it falls (0: A0..A7 on P1)
  std::array<std::uint8_t, 2> signature{0xFF, 0xFF};
};

class PinMode51Chip final : public ChipModel {
 public:
  explicit PinMode51Chip(PinModeSheet sheet);

  std::string Name() const override { return sheet_.name; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;  // erased 0xFF
  std::array<std::uint8_t, 2> config{0xFF, 0xFF};
  int writes = 0, erases = 0, lost = 0;

 private:
  int In(Programmer& p, int chipPin) const;
  void SampleModePins(Programmer& p);
  bool Matches(Programmer& p, const PinModeSheet::Row& row) const;
  std::uint32_t AddressNow(Programmer& p) const;
  std::uint8_t DataNow(Programmer& p) const;
  bool Active(Programmer& p, const PinModeSheet::Row& row) const;
  void Complete(Programmer& p);

  PinModeSheet sheet_;
  std::vector<int> socket_;
  std::vector<bool> wasActive_;
  int pending_ = -1;  // the row of the cycle under way
  bool aborted_ = false;
  double start_ = 0;
  std::uint32_t address_ = 0;
  std::uint8_t data_ = 0;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
  bool latchWasHigh_ = false;
  std::string levels_;
  std::uint8_t latched_ = 0;
};

// "STC89C51RC", "STC89C52RC", "STC89C53RC" (4, 8 or 12 KB and the second area up to 15359),
// "STC89C54RC+", "STC89C58RC+", "STC89C516RC+" (16, 32 or 60 KB and 4 KB up to 64511), and
// "STC89LE51AD", "STC89LE52AD", "STC89LE54AD", "STC89LE58AD", "STC89LE516AD", "STC89LE516X2" (4 to
// 64 KB, latched address) by name.
std::shared_ptr<PinMode51Chip> MakePinMode51(std::string_view part);
std::string_view PinMode51PartOf(std::string_view chipName);

}  // namespace zelvar::sim
