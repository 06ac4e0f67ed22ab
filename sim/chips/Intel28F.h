#pragma once
// Intel-style 12 V bulk-erase flash (28F256A, 28F512, 28F010, 28F020), written from the 28F010
// and 28F020 datasheets: the command register is live only while VPP is at VPPH (11.4 V to
// 12.6 V) on pin 1; with VPP low the chip is a read-only memory. Commands are write cycles
// (address latched as WE# falls, data as it rises): 0x20 twice starts an erase pulse, which the
// next command (0xA0, erase verify) ends; 0x40 makes the next cycle program its byte (cell AND
// data); 0x90 shows the identifier codes; 0x00 and 0xFF 0xFF read the array. A9 at 11.5 V to
// 13 V also shows them (maker 0x89 at A0 low, the device code at A0 high).
//
// Rules the datasheets leave open, kept here:
// - The array erases after `pulsesToErase` erase pulses of at least 9.5 ms (the quick-erase
//   pulse is 10 ms); a test sets it to 1, 21 or 0 (never). The datasheets' pre-programming to 00
//   before an erase and over-erasure are not modelled.
// - A program takes at its data latch (the 10 us pulse that the next command ends lies within
//   one bulk transfer; the simulated clock does not resolve it).
#include <memory>
#include <string_view>

#include "sim/chips/ByteWide.h"

namespace zelvar::sim {

class Intel28F final : public ByteWideChip {
 public:
  Intel28F(std::string_view name, int addressBits, std::uint8_t device);
  int pulsesToErase = 10;
  int erasePulses = 0;  // erase pulses of full length so far
  int chipErases = 0;

 protected:
  void Write(Programmer& p, std::uint32_t address, std::uint8_t data) override;
  std::uint8_t Read(Programmer& p, std::uint32_t address) override;
  void Update(Programmer& p, bool powered) override;

 private:
  enum class State { Read, Identify, EraseSetup, Erasing, ProgramSetup };
  bool VppHigh(const Programmer& p) const;
  void EndErasePulse(const Programmer& p);
  std::uint8_t device_;
  State state_ = State::Read;
  double eraseStart_ = 0;
};

// "28F256", "28F512", "28F010", "28F020"; nullptr for another name.
std::shared_ptr<Intel28F> MakeIntel28F(std::string_view part);

}  // namespace zelvar::sim
