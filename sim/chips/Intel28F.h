#pragma once
// Intel-style 12 V bulk-erase flash (28F256A, 28F512, 28F010, 28F020), written from Intel's
// 28F010 and 28F020 datasheets ("28F010 1024K (128K x 8) CMOS Flash Memory", 290207; "28F020
// 2048K (256K x 8) CMOS Flash Memory", 290245): the command register is live only while VPP is
// at VPPH (11.4 V to 12.6 V) on pin 1; with VPP low the chip is a read-only memory. Commands are
// write cycles (address latched as WE# falls, data as it rises): 0x20 twice starts an erase
// operation, which the next command (0xA0, erase verify at the latched address) ends; 0x40 makes
// the next cycle start a program operation at its address, which the next command (0xC0, program
// verify) ends; 0x90 shows the identifier codes; 0x00 and 0xFF 0xFF read the array. A9 at 11.5 V
// to 13 V also shows them (maker 0x89 at A0 low, the device code at A0 high).
//
// What the datasheets' algorithms guard against, modelled:
// - A program operation counts only when it lasts tWHWH1 (10 us) or more; a byte takes its data
//   (cell AND data) once it has had the pulses it needs: one for most bytes, `slowPulses` for
//   every `slowStride`-th (the quick-pulse algorithm allows up to 25).
// - An erase operation of tWHWH2 (9.5 ms) or more counts as one 10 ms pulse per started 10 ms. A
//   byte reads FF once its programmed bits have had `pulsesToErase` pulses since they were
//   programmed (the slow bytes two more). Each pulse a byte takes while it holds erased bits
//   over-erases those bits: a byte with more than kOverEraseMargin such pulses is damaged (a
//   hazard; its bits no longer program). The quick-erase algorithm (every byte programmed to 00
//   first, pulses only until every address erase-verifies) stays inside the margin; an erase
//   without the pre-programming, or with pulses past the erase, does not.
// - A read within tWHGL (6 us) of a verify command shows the outputs unsettled (inverted here).
//
// Rules the datasheets leave open, kept here:
// - The margin of four pulses and the pulse counts are ours: the datasheets give no figures.
// - The simulated clock moves per bulk transfer and per wait command, so commands in one transfer
//   come at one instant: an operation the next command of the same transfer ends lasts 0 us.
#include <memory>
#include <string_view>
#include <vector>

#include "sim/chips/ByteWide.h"

namespace zelvar::sim {

class Intel28F final : public ByteWideChip {
 public:
  static constexpr int kOverEraseMargin = 4;

  Intel28F(std::string_view name, int addressBits, std::uint8_t device);
  int pulsesToErase = 10;
  std::uint32_t slowStride = 61;  // 0: no slow bytes
  int slowPulses = 3;
  int erasePulses = 0;    // full erase pulses taken
  int chipErases = 0;     // erases after which every byte read FF
  int programPulses = 0;  // program operations of full length
  int shortPulses = 0;    // program or erase operations too short to count
  int overErased = 0;     // bytes damaged by over-erasure

 protected:
  void Write(Programmer& p, std::uint32_t address, std::uint8_t data) override;
  std::uint8_t Read(Programmer& p, std::uint32_t address) override;
  void Update(Programmer& p, bool powered) override;

 private:
  enum class State {
    Read,
    Identify,
    EraseSetup,
    Erasing,
    ProgramSetup,
    Programming,
    EraseVerify,
    ProgramVerify
  };
  bool VppHigh(const Programmer& p) const;
  bool Slow(std::uint32_t a) const { return slowStride != 0 && a % slowStride == slowStride - 1; }
  // Ends a running erase or program operation at the present time.
  void EndOperation(Programmer& p);
  void ErasePulse(Programmer& p);
  std::uint8_t device_;
  State state_ = State::Read;
  double startedAt_ = 0, verifyAt_ = 0;
  std::uint32_t programAddress_ = 0;
  std::uint8_t programData_ = 0xFF;
  // Per byte: program pulses taken toward its data, erase pulses its programmed bits have had,
  // pulses its erased bits have had, damage.
  std::vector<std::uint8_t> programTaken_;
  std::vector<std::uint16_t> eraseTaken_, overErase_;
  std::vector<bool> damaged_;
};

// "28F256", "28F512", "28F010", "28F020"; nullptr for another name.
std::shared_ptr<Intel28F> MakeIntel28F(std::string_view part);

}  // namespace zelvar::sim
