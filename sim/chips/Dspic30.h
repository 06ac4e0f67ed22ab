#pragma once
// Microchip dsPIC30F digital signal controllers in their standard ICSP mode, from the maker's
// dsPIC30F flash programming guide (the SIX and REGOUT commands, the serial execution of
// the published table-read, table-write and NVM sequences, the NVMCON operation codes) and the
// parts' data sheets (pinouts, memory sizes, device IDs) and family reference manual (the
// configuration registers' bits).
//
// The serial interface: a 4-bit command, least significant bit first, each bit taken as PGC
// falls. 0000 SIX: 24 operand bits follow, the instruction executes after the last. 0001 REGOUT:
// 8 clocks in which the chip lets PGD go, then 16 in which it drives VISI, a bit from each rising
// edge, least significant first. Any other command is a host fault.
// Instructions the model executes (the subset hosts use in ICSP); any other is a host fault:
//   NOP; GOTO (two words); MOV #lit16, Wn; MOV Wn, f; CLR Wn; BSET.B/BCLR.B f, #b on NVMCON;
//   TBLRDL/TBLRDH and TBLWTL/TBLWTH, word and byte forms, with the register-direct, indirect,
//   post- and pre-increment and decrement modes. W0-W15 are data memory 0000h-001Fh, as the
//   packed read relies on; of the SFRs TBLPAG (0032h), NVMCON (0760h), NVMADR (0762h), NVMADRU
//   (0764h), NVMKEY (0766h) and VISI (0784h) are modelled, a write elsewhere is a host fault.
//
// Rules the programming guide leaves open, kept here:
// - Power: VDD 2.5-5.5 V on the VDD pin the socket feeds, with its VSS grounded (the other VDD
//   and VSS pins, AVDD and AVSS are taken as tied on the board). Row writes need VDD at 3.0 V or
//   more, the bulk erase 4.5 V; below, the operation does nothing.
// - Entry: VDD first, then MCLR from low to VIHH (9-13.25 V) with PGC and PGD low. MCLR falling
//   or VDD going ends the mode; running work is then lost and a host fault.
// - A table instruction must be followed by two NOPs (its second cycle and the pipeline).
// - Table writes go to write latches: program memory to a row of 32 words (TBLWTH.B at an odd
//   address is the phantom byte, ignored), the data EEPROM to a row of 16 words, a configuration
//   register to its own latch. NVMADR takes the address of the last table write.
// - BSET NVMCON,#WR starts the operation NVMCON names (with WREN): 4001h programs the latched
//   code row, 4005h the data EEPROM row, 4008h one configuration register, 407Fh erases code and
//   data EEPROM; only when it is the instruction right after 55h and then AAh went to NVMKEY.
//   Flash and EEPROM cells only go from 1 to 0 when programmed; latches read erased after each
//   operation. An operation takes 2 ms (the bulk erase 4 ms); meanwhile the chip takes NOPs only
//   (BCLR NVMCON,#WR included: WR is cleared by the chip), anything else is a host fault.
// - The bulk erase leaves the configuration registers as they are: the programming
//   guide writes FFFFh into each before it. A configuration write replaces the register
//   (its implemented bits; the others read 0). GCP (FGS bit 1) at 0 protects the chip: code and
//   data EEPROM read 0; raising GCP back to 1 erases code and data EEPROM first.
// - The device revision (FF:0002) is ours.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct Dspic30Sheet {
  std::string_view name;
  int pins = 40;
  int vdd = 32, vss = 31, mclr = 1, pgc = 25, pgd = 26;  // chip pins
  std::uint32_t codeWords = 16384, eeBytes = 1024;
  std::uint16_t devId = 0;
  std::array<std::uint16_t, 7> configMask{};
};

class Dspic30Chip final : public ChipModel {
 public:
  explicit Dspic30Chip(const Dspic30Sheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.vss}; }
  int MaxMillivolts(int pin) const override { return pin == sheet_.mclr ? 13250 : 6000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const Dspic30Sheet& sheet() const { return sheet_; }
  std::uint16_t ConfigRead(int k) const { return config[k] & sheet_.configMask[k]; }

  std::vector<std::uint32_t> code;  // 24-bit words
  std::vector<std::uint8_t> ee;     // bytes, low byte of each word first
  std::array<std::uint16_t, 7> config{};
  bool inMode = false;
  int entries = 0, rowsProgrammed = 0, eeRows = 0, configWrites = 0, bulkErases = 0;
  int lowVoltage = 0;

 private:
  enum class Phase { kCommand, kSix, kRegout };
  enum class Op { kNone, kRow, kDataRow, kConfig, kBulk };

  int Level(const Programmer& p, int chipPin) const;
  bool MclrHigh(const Programmer& p) const;
  int VddMillivolts(const Programmer& p) const;
  void Fault(Programmer& p, const std::string& what);
  void Enter();
  void LeaveMode(Programmer& p);
  void Execute(Programmer& p, std::uint32_t insn);
  void Finish(Programmer& p);
  void Start(Programmer& p);
  bool Protected() const { return (ConfigRead(5) & 0x2) == 0 && (sheet_.configMask[5] & 2) != 0; }

  // Data memory: the W registers and the modelled SFRs.
  std::uint16_t W(int n) const {
    return static_cast<std::uint16_t>(wregs_[2 * n] | wregs_[2 * n + 1] << 8);
  }
  void SetW(int n, std::uint16_t v) {
    wregs_[2 * n] = static_cast<std::uint8_t>(v);
    wregs_[2 * n + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  void StoreData(Programmer& p, std::uint32_t address, std::uint16_t v, bool byte);
  std::uint16_t LoadData(Programmer& p, std::uint32_t address, bool byte);
  void Table(Programmer& p, std::uint32_t insn);
  std::uint16_t TableRead(std::uint32_t address, bool high, bool byte) const;
  void TableWrite(Programmer& p, std::uint32_t address, bool high, bool byte, std::uint16_t v);

  Dspic30Sheet sheet_;
  bool lastPowered_ = false, lastMclr_ = false;
  bool poweredNow_ = false, mclrNow_ = false, stampValid_ = false;
  std::uint32_t supplyStamp_ = 0;
  int lastClock_ = 0;
  Phase phase_ = Phase::kCommand;
  int count_ = 0;
  std::uint32_t shift_ = 0;
  bool driving_ = false;
  int outBit_ = 0;
  // Core state.
  std::array<std::uint8_t, 32> wregs_{};
  std::uint16_t tblpag_ = 0, nvmcon_ = 0, nvmadr_ = 0, nvmadru_ = 0, visi_ = 0;
  int unlock_ = 0;    // 1 after 55h to NVMKEY, 2 after AAh (for the next instruction only)
  int nopsOwed_ = 0;  // NOPs a table instruction still needs
  bool gotoPending_ = false;
  // Latches and running work.
  std::array<std::uint32_t, 32> rowLatch_{};
  std::array<std::uint16_t, 16> dataLatch_{};
  std::uint16_t configLatch_ = 0xFFFF;
  std::uint32_t lastWrite_ = 0;
  Op running_ = Op::kNone;
  double doneAt_ = 0;
};

// The part named by `chipName`, "" when none.
std::string_view Dspic30PartOf(std::string_view chipName);
std::shared_ptr<Dspic30Chip> MakeDspic30(std::string_view part);

}  // namespace zelvar::sim
