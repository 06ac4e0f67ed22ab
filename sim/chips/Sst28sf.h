#pragma once
// SST28SF040A / SST28VF040A sector-erase flash, written from their datasheet (SST "4 Mbit (512K
// x8) SuperFlash EEPROM SST28SF040A / SST28VF040A", S71077): 512K x8 in the
// 32-pin JEDEC flash pinout, 256-byte sectors, single-supply programming (4.5-5.5 V for the SF,
// 2.7-3.6 V for the VF part). Commands are write cycles: 0x20 then 0xD0 at an address erases that
// address's sector (2 ms); 0x30 twice erases the chip; 0x10 makes the next cycle program its
// byte (cell AND data); 0x90 shows the identifier (maker 0xBF at A0 low, device 0x04 at A0 high);
// 0xFF resets. Software data protection: the chip takes no command while protected; a sequence
// of seven read cycles at 0x1823, 0x1820, 0x1822, 0x0418, 0x041B, 0x0419, 0x041A unprotects it,
// the same sequence ending at 0x040A protects it.
//
// Rules the datasheet leaves open, kept here:
// - The protection is kept without power (the part ships protected): a new model is protected.
// - A read cycle is CE# rising while OE# is low and WE# high; the address is the one on the pins
//   then, A0 to A18.
// - The chip erase takes 20 ms and a sector erase 2 ms in simulated time; losing VCC before the
//   end leaves the cells as they were. Reads meanwhile show DQ7 low (Data# polling of an erase).
// - A program takes at its data latch (35 us lies within one bulk transfer).
// - The simulated programmer's logic high is 5 V: the pins are rated as the 5 V part's (6.5 V),
//   for the VF part too, as the JEDEC flash models do.
#include <array>
#include <memory>
#include <string_view>

#include "sim/chips/ByteWide.h"

namespace zelvar::sim {

class Sst28sf final : public ByteWideChip {
 public:
  Sst28sf(std::string_view name, int vccMin, int vccMax);
  bool isProtected = true;
  int sectorErases = 0;
  int chipErases = 0;

 protected:
  void Write(Programmer& p, std::uint32_t address, std::uint8_t data) override;
  std::uint8_t Read(Programmer& p, std::uint32_t address) override;
  void Update(Programmer& p, bool powered) override;

 private:
  enum class State { Read, EraseSetup, ChipEraseSetup, ProgramSetup, Identify };
  State state_ = State::Read;
  // A running erase: the first cell, the count, the time it ends; count 0 when none runs.
  std::uint32_t eraseFirst_ = 0, eraseCount_ = 0;
  double eraseEnd_ = 0;
  bool ceWasLow_ = false;
  std::array<std::uint32_t, 7> reads_{};
};

// "SST28SF040" or "SST28VF040"; nullptr for another name.
std::shared_ptr<Sst28sf> MakeSst28sf(std::string_view part);

}  // namespace zelvar::sim
