#pragma once
// 16-bit serial EEPROMs of the AK6420A kind (AK6420A, AK6440A, AK6480A: 128, 256 and 512 words)
// and of the BR90 kind (BR9010 to BR9016: 64 to 1024 words), in 8-pin packages.
// From the public AK64x0A and AK98xx datasheets:
// - A 3-line interface with a negative clock: DI is taken on the rising SK edge, DO changes on
//   the falling one. An instruction starts when CS# falls while SK is high; one that starts with
//   SK low is ignored until CS# rises. Instructions are an 8-bit opcode and an 8-bit address:
//   A8h read, A4h write (bits 0 and 1 carry address bits 8 and 9), A3h write enable, A0h write
//   disable. A read streams 16-bit registers from the address on, stepping and wrapping, while
//   CS# stays low; a write takes 16 data bits and starts its auto-erasing write cycle at the 32nd
//   rising SK edge, when enabled. During the cycle every instruction is ignored. The write enable
//   is lost at power-off.
// - Standard pinout: 1 CS#, 2 SK, 3 DI, 4 DO, 5 GND, 8 VCC (6 and 7 not used here). The "AF"
//   package has the rotated pinout of the 8-pin serial EEPROMs: 2 VCC, 3 CS#, 4 SK, 5 DI, 6 DO,
//   7 GND.
// Not public, taken as the programmer's sequences give them (say so wherever they are relied on):
// - AK kind: a register is a pair of bytes; the write's address counts bytes (the register is the
//   address over two) and the read's starts from register 0. A register goes out high byte
//   first, most significant bit first.
// - BR90 kind: the opcode comes most significant bit first, every bit after it least significant
//   first; a register goes out low byte first. The address byte holds the word address of parts
//   up to 256 words; on the 512-word part it holds word address bits 1 to 8 and opcode bit 0
//   bit 0; on the 1024-word part bits 2 to 9, opcode bit 0 word address bit 1 and opcode bit 1
//   bit 0.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct WordSerialPart {
  std::string_view name;
  std::uint32_t words = 0;
  bool lsbFirst = false;  // the BR90 kind
  bool rotated = false;   // the "AF" pinout
  int minMillivolts = 1800;
  int maxMillivolts = 5500;
  int writeUs = 8000;
};

class WordSerial final : public ChipModel {
 public:
  explicit WordSerial(const WordSerialPart& part);
  std::string Name() const override { return std::string(part_.name); }
  int PinCount() const override { return 8; }
  std::vector<int> GroundPins() const override { return {Pin(kGnd)}; }
  int MaxMillivolts(int) const override { return 7000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override { return pin == Pin(kDo) ? do_ : -1; }

  const WordSerialPart& part() const { return part_; }
  // Two bytes a register: low byte first.
  std::vector<std::uint8_t> cells;
  int wordsWritten = 0;

 private:
  enum Role { kCs, kSk, kDi, kDo, kGnd, kVcc };
  int Pin(Role r) const;
  bool Level(Programmer& p, Role r) const;
  void Decode(Programmer& p);
  int NextOutBit();

  WordSerialPart part_;
  bool selected_ = false, ignored_ = false, sk_ = true;
  int do_ = -1;
  bool writeEnable_ = false;
  int bits_ = 0;
  std::uint32_t shift_ = 0;  // bits taken in, most recent in bit 0
  std::uint8_t opcode_ = 0;
  std::uint32_t word_ = 0;  // the register addressed
  bool reading_ = false;
  int outBit_ = 0;
  double busyUntilUs_ = 0;
};

std::string_view WordSerialPartOf(std::string_view chipName);
std::shared_ptr<WordSerial> MakeWordSerial(std::string_view part);

}  // namespace zelvar::sim
