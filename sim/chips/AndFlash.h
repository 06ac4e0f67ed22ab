#pragma once
// The AND-type flash of the "HN29AND" set, the HN29V25611, as that set drives it through its
// 16-bit TSOP48 adapters ("tsop29cmd2aa", "tsop29cmd2aaa"; sim/designs/P29F640.cpp lays out
// their pins).
//
// From the HN29-series AND flash datasheets (HN29W25611, HN29V51211): a single 3.3 V supply
// (2.7 V to 3.6 V; 4.6 V the absolute maximum), programming and erase internally timed and
// verified with status polling, erased cells reading 1, the maker code 0x07 (Hitachi).
//
// Our convention, since the set's bytes are not the datasheet's interface (that one latches
// commands and sector addresses on I/O0-I/O7 and reads a sector out with the serial clock SC):
// the adapter presents the chip as 256 Ki words on a parallel bus, A0-A17 and DQ0-DQ15, with
// CE#, OE#, WE# and RESET#, and the chip takes the standard command set there: 0xAA at word
// 0x555 and 0x55 at 0x2AA (A10..A0 decoded, so 0x5555/0x2AAA reach it too), then at 0x555 0xA0
// to program the next write (cell AND data), 0x80 with a second unlock and 0x10 to erase the
// chip, 0x90 for the identifier (maker 0x0007 at word 0, the device code 0x0025 at word 1: the
// device code is ours) and 0xF0 anywhere to return to reading. Addresses latch at WE#'s falling
// edge, data at its rising edge, with CE# low and OE# high. A program takes at its data latch
// (the design's program command holds the bus for the program time); a chip erase takes 1 s of
// simulated time, during which reads show DQ7 low and DQ6 toggling and writes are ignored.
// RESET# low or VCC lost ends any mode and leaves an unfinished erase undone. Every pin is rated
// 4.6 V, so a 5 V logic high is a hazard. The model's pins
// are the adapter's: pin k sits on socket pin k - 4 (pins 1 to 4 on 45 to 48).
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class AndFlash final : public ChipModel {
 public:
  static constexpr std::uint16_t kMaker = 0x0007, kDevice = 0x0025;
  static constexpr std::uint32_t kBytes = 0x80000;
  static constexpr double kChipEraseUs = 1e6;

  std::string Name() const override { return "HN29V25611"; }
  int PinCount() const override { return 48; }
  std::vector<int> GroundPins() const override;
  int MaxMillivolts(int pin) const override;
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells = std::vector<std::uint8_t>(kBytes, 0xFF);  // word w at 2w
  int chipErases = 0;
  int programs = 0;

 private:
  int Level(const Programmer& p, int chipPin) const;
  void Reset();
  void Write(double now, std::uint32_t word, std::uint16_t data);
  std::uint16_t Read(std::uint32_t word);

  bool powered_ = false;
  int lastWe_ = -1;
  std::uint32_t latched_ = 0;
  bool autoselect_ = false;
  int unlock_ = 0;
  bool programArmed_ = false, eraseArmed_ = false;
  bool erasing_ = false;
  double eraseEnd_ = 0;
  bool toggle_ = false;
  bool driving_ = false;
  std::uint16_t out_ = 0;
};

// The model of `part` ("HN29V25611"); nullptr for any other.
std::shared_ptr<AndFlash> MakeAndFlash(std::string_view part);
// "HN29V25611" when `chipName` names it, else "".
std::string_view AndFlashPartOf(std::string_view chipName);

}  // namespace zelvar::sim
