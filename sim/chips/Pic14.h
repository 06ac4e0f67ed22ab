#pragma once
// Microchip 14-bit-core flash PICs in their serial programming mode (ICSP), from the families'
// programming guides: PIC16F87x, PIC16F87xA, PIC16F7x, PIC16F62xA, PIC16F630/676 with
// PIC12F629/675, and PIC16F88x. Each part is a sheet row (pins, sizes, device ID); each family a
// rule row (commands, entry order, cycle times, code protection, calibration). The sheets give the
// pinouts, the sizes, the device IDs, the commands (6 bits, least significant first, the chip
// taking data as the clock falls; 16-bit data fields of start bit, 14 bits and stop bit; read
// data driven from the second to the sixteenth rising edge) and the configuration space (user
// IDs at 0x2000-0x2003, device ID at 0x2006, configuration word at 0x2007; the PIC16F88x's
// second word at 0x2008 and calibration word at 0x2009). Rules the sheets leave open, kept here:
// - Power: VDD at 4.5-5.5 V (2.0-5.5 V on the PIC16F62xA, PIC16F630 and PIC16F88x) with the
//   VSS pin grounded; a second VDD or VSS pin is joined inside, one grounded pin is enough.
// - Entry: MCLR at 12.0-13.5 V with clock and data low. The PIC16F87x and PIC16F7x want VDD
//   first (MCLR high while unpowered harms them); the PIC16F62xA, PIC16F630/676, PIC12F629/675
//   and PIC16F88x want VPP first: MCLR high before VDD rises, and MCLR takes it unpowered. The
//   entry resets the address to 0; MCLR falling or VDD going ends the mode.
// - Program memory: an address beyond the array reads the word its low bits name. Begin
//   Programming Only (and, on the parts without a separate erase, Begin Programming) clears the
//   cell's bits the latch has at 0 (program only); the PIC16F87x's Begin Erase/Programming cycle
//   erases the cell first. Data EEPROM bytes are replaced (the cell erases itself).
// - PIC16F87xA: bare 6-bit commands. Begin Erase/Program Cycle (0x08) is internally timed and
//   erases the cell before programming it; Begin Programming Only (0x18) is externally timed and
//   ends at End Programming (0x17), program only (1 ms at least; a data EEPROM byte 6 ms); Chip
//   Erase (0x1F) erases program memory and data EEPROM, and with the address in configuration
//   space the user IDs and the configuration word too. The word is written as it is loaded (the
//   row latches hold erased words between writes, so a word-by-word write programs that word).
// - Times: program memory cycles 4 ms (PIC16F87x), 1 ms at least before End Programming
//   (PIC16F7x, PIC16F88x's externally timed cycle), 2.5 ms (PIC16F62xA, PIC16F630/676), 2 ms
//   (PIC16F88x); data EEPROM 6 ms; bulk erase 8 ms (30 ms on the PIC16F7x). A command that
//   arrives while a programming cycle runs is a host fault (the cell is not written); commands
//   that arrive during a bulk erase are ignored, and an erase cut short by leaving the mode
//   erases nothing.
// - Bulk erase: the PIC16F87x's setup pair 1, 7 followed by Begin Erase/Programming erases the
//   data EEPROM after a Load Data for Data Memory, everything (configuration and IDs included)
//   with the address at 0x2007, else the program memory. The other families' Bulk Erase Program
//   Memory erases the program memory, and the configuration word and IDs too when the address is
//   in configuration space; Bulk Erase Data Memory erases the data EEPROM. On the PIC16F630/676
//   and PIC12F629/675 this also erases the calibration word at the last address and the band-gap
//   bits 12 and 13 of the configuration word: the programmer must keep them.
// - Code protection: with a CP bit at 0 program memory reads as 0; with CPD at 0 the data
//   EEPROM reads as 0. Unimplemented configuration bits read as 1.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

enum class Pic14Family { kF87x, kF87xA, kF7x, kF62xA, kF630, kF88x };

struct Pic14Sheet {
  std::string_view name;
  Pic14Family family = Pic14Family::kF87x;
  int pins = 40;
  int vdd = 32, vss = 31, mclr = 1, clock = 39, data = 40;  // chip pins
  std::uint32_t words = 2048, eeprom = 0;
  std::uint16_t deviceId = 0;  // with the revision in its low bits
};

class Pic14Chip final : public ChipModel {
 public:
  explicit Pic14Chip(const Pic14Sheet& sheet);
  static constexpr std::uint16_t kConfigSpace = 0x2000;

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.vss}; }
  int MaxMillivolts(int pin) const override { return pin == sheet_.mclr ? 14000 : 6500; }
  bool TakesHighVoltageUnpowered(int pin) const override;
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const Pic14Sheet& sheet() const { return sheet_; }
  bool HasCalibration() const { return sheet_.family == Pic14Family::kF630; }
  std::uint16_t ConfigRead() const;

  std::vector<std::uint16_t> code;
  std::vector<std::uint8_t> data;
  std::array<std::uint16_t, 4> ids{0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF};
  std::uint16_t config = 0x3FFF, config2 = 0x3FFF, calibration = 0x3FFF;
  bool inMode = false;
  int entries = 0, erases = 0;

 private:
  enum class Phase { kCommand, kDataIn, kDataOut };
  enum class Op {
    kNone,
    kLoadConfig,
    kLoadProgram,
    kLoadData,
    kReadProgram,
    kReadData,
    kIncrement,
    kBeginEraseProgram,
    kBeginProgramOnly,
    kBeginExternal,
    kEndProgram,
    kBulkSetup1,
    kBulkSetup2,
    kBulkEraseProgram,
    kBulkEraseData,
    kChipErase
  };
  enum class Work { kNone, kProgram, kEraseProgram, kExternal, kErase };

  int Level(const Programmer& p, int chipPin) const;
  int Mclr(const Programmer& p) const;
  Op Decode(std::uint8_t command) const;
  void Run(Programmer& p, Op op);
  void Finish(Programmer& p, bool leaving);
  void Commit();
  std::uint16_t ReadWord() const;
  std::uint16_t* Cell();
  void EraseByRule();

  Pic14Sheet sheet_;
  bool lastPowered_ = false;
  int lastMclrHigh_ = 0, lastClock_ = 0;
  Phase phase_ = Phase::kCommand;
  int count_ = 0;
  std::uint32_t shift_ = 0;
  Op pendingLoad_ = Op::kNone;
  std::uint16_t pc_ = 0, latch_ = 0x3FFF, out_ = 0;
  bool lastLoadData_ = false;
  int bulkStep_ = 0;
  bool driving_ = false;
  int outBit_ = 0;
  Work work_ = Work::kNone;
  double workStart_ = 0, workUs_ = 0;
  bool workData_ = false;
  int eraseKind_ = 0;  // 0 program memory, 1 data, 2 everything, 3 program and data,
                       // 4 everything with data
};

// The part named by `name`, "" when none.
std::string_view Pic14PartOf(std::string_view chipName);
std::shared_ptr<Pic14Chip> MakePic14(std::string_view part);

}  // namespace zelvar::sim
