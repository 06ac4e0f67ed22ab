#pragma once
// Microwire serial EEPROMs of the 93Cxx kind (AT93C46, 93C56, 93C57, 93C66, 93C76, 93C86), after
// their public datasheets, in the 8-pin DIP: 1 CS, 2 SK, 3 DI, 4 DO, 5 GND, 6 ORG, 7 NC, 8 VCC.
// - Powered by 1.8 to 5.5 V on pin 8 with pin 5 grounded; without power the chip forgets its
//   write enable and drives nothing.
// - ORG high (or undriven: the internal pull-up) selects 16-bit words, low 8-bit bytes; the
//   address bits follow the organisation (93C46 7 or 6, 93C56 and 93C66 9 or 8, 93C57 8 or 7,
//   93C76 and 93C86 11 or 10), the unused high bits being don't-care.
// - With CS high every rising SK edge takes DI. An instruction is the start bit 1 (leading zeros
//   are ignored), a two-bit opcode and the address: 10 read, 01 write (data follows, most
//   significant bit first), 11 erase; 00 with the top two address bits 11 enables writes, 00
//   disables them, 10 erases all and 01 writes all (data follows).
// - Read: after the last address bit DO goes to the dummy 0; each further rising edge puts out
//   the next data bit, most significant first, and the read runs on into the next words.
// - Writes and erases need the write enable and start when CS falls; the chip is then busy for
//   its write cycle and ignores instructions. A programmed cell takes the new value; an erased
//   one reads all ones.
// - Open in the datasheets, chosen here: an x8 address n and an x16 word w share the array as
//   byte n and bytes 2w (the word's low byte) and 2w + 1.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct MicrowirePart {
  std::string_view name;
  std::uint32_t size = 0;  // bytes
  int addressBits8 = 0;
  int addressBits16 = 0;
  int writeUs = 5000;
  int eraseAllUs = 15000;
};

class Microwire93 final : public ChipModel {
 public:
  explicit Microwire93(const MicrowirePart& part);
  std::string Name() const override { return std::string(part_.name); }
  int PinCount() const override { return 8; }
  std::vector<int> GroundPins() const override { return {5}; }
  int MaxMillivolts(int) const override { return 7000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override { return pin == 4 ? do_ : -1; }

  const MicrowirePart& part() const { return part_; }
  std::vector<std::uint8_t> cells;
  int wordsWritten = 0;
  int eraseAlls = 0;

 private:
  enum class State { kStart, kOpcode, kAddress, kData, kReading, kDone };
  bool Level(Programmer& p, int pin, bool undriven) const;
  void Begin(Programmer& p);
  std::uint32_t ReadUnit(std::uint32_t a) const;
  void WriteUnit(std::uint32_t a, std::uint32_t v);
  void Program(Programmer& p);

  MicrowirePart part_;
  State state_ = State::kStart;
  bool cs_ = false, sk_ = false;
  bool x16_ = true;
  bool enabled_ = false;
  bool complete_ = false;  // an instruction other than a read was taken in whole
  int do_ = -1;
  int count_ = 0;
  std::uint32_t opcode_ = 0, address_ = 0, data_ = 0, word_ = 0;
  int bitPos_ = 0;
  double busyUntilUs_ = 0;
};

std::string_view MicrowirePartOf(std::string_view chipName);
std::shared_ptr<Microwire93> MakeMicrowire93(std::string_view part);

}  // namespace zelvar::sim
