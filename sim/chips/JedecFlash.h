#pragma once
// 5 V flash with the JEDEC unlock command set (Am29F010/040, AT49F010/040, MX29F040, SST39SF010,
// SST39VF010, V29C51004 and kin), written from their datasheets: a command is two unlock cycles
// (0xAA at 0x5555, 0x55 at 0x2AAA) and a command byte at 0x5555; 0xA0 programs the next cycle's
// byte (cell AND data), 0x80 with a second unlock and 0x10 erases the whole chip, 0x90 enters
// autoselect and 0xF0 resets. While the embedded erase runs, reads show DQ7 as 0 (the complement
// of the erased 1) and DQ6 toggling on each read, and writes are ignored; the erase ends after
// the chip-erase time in simulated time. A9 at VID (11.5 V to 12.5 V) with OE# and CE# low gives
// the maker code at A0 low and the device code at A0 high (A1 high: the sector protect status,
// 0 for an unprotected chip).
//
// Rules the datasheets leave open, kept here:
// - The embedded program (7 to 20 us) ends within the bus cycles that follow it, so a program
//   takes at its data latch; a read during it is not modelled.
// - Losing VCC ends autoselect and leaves an unfinished erase undone: every cell stays as it was.
// - Chips decode the unlock addresses on A0..A14 (parts that decode only A0..A10 accept them too).
#include <memory>
#include <string_view>

#include "sim/chips/ByteWide.h"

namespace zelvar::sim {

struct JedecFlashSheet {
  std::string_view name;
  int addressBits = 17;
  std::uint8_t maker = 0, device = 0;
  double chipEraseUs = 0;  // the datasheet's typical chip-erase time
  int vccMin = 4500, vccMax = 5500;
};

class JedecFlash final : public ByteWideChip {
 public:
  explicit JedecFlash(const JedecFlashSheet& sheet);
  const JedecFlashSheet& sheet() const { return sheet_; }
  int chipErases = 0;  // chip erases that completed
  double eraseUs;      // settable by tests: the time an erase takes

 protected:
  void Write(Programmer& p, std::uint32_t address, std::uint8_t data) override;
  std::uint8_t Read(Programmer& p, std::uint32_t address) override;
  void Update(Programmer& p, bool powered) override;

 private:
  enum class State { Read, Unlock1, Unlock2, Program, Erase1, Erase2, Erase3, Autoselect };
  JedecFlashSheet sheet_;
  State state_ = State::Read;
  bool erasing_ = false;
  double eraseEnd_ = 0;
  bool toggle_ = false;
};

// A model by part name ("AM29F040", "SST39VF010", ...); nullptr for a part without one.
std::shared_ptr<JedecFlash> MakeJedecFlash(std::string_view part);

}  // namespace zelvar::sim
