#pragma once
// Microwire serial EEPROMs with a protect register (93S46, 93S56, 93S66 / NM93CS46..66), x16
// only, after the makers' public datasheets, in the 8-pin DIP: 1 CS, 2 SK, 3 DI, 4 DO, 5 GND,
// 6 PE (program enable; W on some makers' sheets), 7 PRE (protect register enable), 8 VCC.
// - Powered by 4.5 to 5.5 V on pin 8 with pin 5 grounded; without power the chip forgets its
//   write enable and the PREN, and drives nothing. The protect register, its flag and the
//   PRDS freeze are non-volatile.
// - 93S46: 64 words, 6 address bits; 93S56: 128 words, 8 address bits (the top one don't-care);
//   93S66: 256 words, 8 address bits.
// - With CS high every rising SK edge takes DI: the start bit 1 (leading zeros ignored), a
//   two-bit opcode, the address bits, and 16 data bits for WRITE and WRALL. PRE low: 10 READ
//   (the dummy 0, then the words in sequence), 01 WRITE, 00 11.. WEN, 00 00.. WDS, 00 01.. WRALL.
//   PRE high: 10 PRREAD, 00 11.. PREN, 11 with every address bit 1 PRCLEAR, 01 PRWRITE (the
//   address alone), 00 00.. PRDS. These parts have no ERASE or ERAL: opcode 11 and 00 10.. with
//   PRE low do nothing.
// - Programming (WRITE, WRALL, PRWRITE, PRCLEAR, PRDS) starts when CS falls, and only if the
//   chip is write-enabled (WEN), PE was high at every clock edge of the instruction, and no clock
//   edge came after its last bit; the chip is then busy for its write cycle and ignores
//   instructions.
// - PREN needs a write-enabled chip and PE high; PRWRITE, PRCLEAR and PRDS act only straight
//   after it (any other instruction in between cancels it) and not after PRDS.
// - WRITE refuses a word at or above the protect register's address while protection is on;
//   WRALL acts only while no word is protected. PRWRITE sets the address and turns protection
//   on; PRCLEAR sets the register to all ones and turns it off.
// - PRREAD puts out the dummy 0, the register's address bits, most significant first, then the
//   protect flag (0 while protection is on, 1 cleared), then ones.
// - Open in the datasheets, chosen here: PRE must keep its level through an instruction (an
//   instruction that sees it change does nothing); PE and PRE undriven read low; WEN and WDS take
//   effect whatever PE's level.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct Microwire93sPart {
  std::string_view name;
  std::uint32_t words = 0;
  int addressBits = 0;
  int writeUs = 10000;
};

class Microwire93s final : public ChipModel {
 public:
  explicit Microwire93s(const Microwire93sPart& part);
  std::string Name() const override { return std::string(part_.name); }
  int PinCount() const override { return 8; }
  std::vector<int> GroundPins() const override { return {5}; }
  int MaxMillivolts(int) const override { return 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override { return pin == 4 ? do_ : -1; }

  const Microwire93sPart& part() const { return part_; }
  // Word w in bytes 2w (low) and 2w + 1.
  std::vector<std::uint8_t> cells;
  std::uint32_t protectRegister;  // all ones: cleared
  bool protectOn = false;
  bool frozen = false;  // PRDS taken: the register can never change again
  int wordsWritten = 0;
  int wordsRefused = 0;  // WRITEs into the protected area

 private:
  enum class State { kStart, kOpcode, kAddress, kData, kReading, kDone };
  bool Level(Programmer& p, int pin, bool undriven) const;
  void Begin(Programmer& p);
  std::uint32_t Word(std::uint32_t w) const;
  void SetWord(std::uint32_t w, std::uint32_t v);
  void Execute(Programmer& p);

  Microwire93sPart part_;
  State state_ = State::kStart;
  bool cs_ = false, sk_ = false;
  bool enabled_ = false;
  bool prenArmed_ = false;
  bool complete_ = false;  // an instruction other than a read was taken in whole
  bool pre_ = false;       // PRE at the start bit
  bool preMixed_ = false;  // PRE changed during the instruction
  bool peHeld_ = false;    // PE high at every clock edge of the instruction
  int extraClocks_ = 0;    // clock edges after the instruction's last bit
  bool registerRead_ = false;
  int do_ = -1;
  int count_ = 0;
  std::uint32_t opcode_ = 0, address_ = 0, data_ = 0, word_ = 0;
  int bitPos_ = 0;
  double busyUntilUs_ = 0;
};

std::string_view Microwire93sPartOf(std::string_view chipName);
std::shared_ptr<Microwire93s> MakeMicrowire93s(std::string_view part);

}  // namespace zelvar::sim
