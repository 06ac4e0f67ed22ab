#pragma once
// Microchip PIC18F flash microcontrollers in their high-voltage ICSP mode, from the makers'
// programming guides (PIC18FXX2/XX8; PIC18F1220/1320 and PIC18F2331/2431/4331/4431, which
// program the same way; PIC18F2XXX/4XXX) and the data sheets: pinouts, sizes, write buffers,
// device IDs with their revision bits, the configuration bytes at 30:00:00.
//
// The serial interface: a 4-bit command, least significant bit first, then a 16-bit operand,
// each bit taken as PGC falls. Commands: 0000 core instruction, 0010 shift out TABLAT, 1000-1011
// table reads (TBLRD*, *+, *-, +*), 1100 table write, 1101 table write post-increment by 2, 1111
// table write and start programming. A read's operand is 8 clocks the chip ignores and 8 clocks
// in which it drives the byte on PGD, a bit from each rising edge, least significant first.
// Core instructions the model executes (the subset hosts use in ICSP): NOP, MOVLW, MOVWF, CLRF,
// MOVF f,W, INCF f,F, BSF, BCF and GOTO, on W, TBLPTRU/H/L, TABLAT, EECON1, EECON2, EEDATA,
// EEADR and EEADRH; any other instruction is a host fault.
//
// Rules the guides leave open, kept here:
// - Power: VDD at 2.0-5.5 V with VSS grounded (a second VDD/VSS pair is taken as tied on the
//   board); the PIC18F2331's AVDD within 0.3 V of VDD and AVSS low. Erasing and programming need
//   VDD at 4.5 V or more on the older parts, 4.2 V for a bulk erase on the PIC18F2XXX/4XXX.
// - Entry: VDD first, then MCLR from low to VIHH (9-13.25 V; 12.5 V at most on the
//   PIC18F2XXX/4XXX) with PGC and PGD low and PGM not high. MCLR falling or VDD going ends the
//   mode; the write buffer then reads erased again.
// - Writes: 1100/1101/1111 to program memory or the ID locations (EECON1 EEPGD=1, CFGS=0) load the
//   write buffer at TBLPTR modulo its size; 1111 arms the row at TBLPTR. The next command must be
//   a NOP whose 4th clock is held high: the row (cells AND buffer) is programmed when the hold
//   lasts P9 (1 ms), else it is left as it was. With CFGS=1, 1111 at 30:00:00-0D programs one
//   configuration byte (the operand's low byte at even addresses, its high byte at odd ones) with
//   a hold of P9A (5 ms on the PIC18F2XXX/4XXX, P9 on the others); the older parts program it
//   only after GOTO 100000h. Table writes to 3C:00:04-06 set the erase control registers at once.
// - Bulk erase: the erase code (older parts: one byte at 3C:00:04; PIC18F2XXX/4XXX: the key in
//   3C:00:05 and 3C:00:04) starts after the second NOP that follows it and takes P11 (5 ms); a
//   PGC clock meanwhile is a host fault, and leaving the mode before it ends erases nothing.
//   Erased configuration bits read 1, unimplemented ones 0.
// - Data EEPROM: BSF EECON1,RD reads EEADRH:EEADR into EEDATA; BSF EECON1,WR with WREN starts a
//   write of 4 ms (the older parts only right after 55h and AAh went to EECON2); WR reads 1 until
//   it ends; a write cut short by leaving the mode writes nothing.
// - Code protection: a block whose CP bit is 0 reads 0 (CPD: the data EEPROM reads 0).
//
// The PIC18C EPROM parts (PIC18CXX2 programming guide and data sheets) share the serial interface,
// the core instructions and the table reads, and differ as follows (rules the guide leaves to the
// programmer, kept here):
// - Programming voltage: MCLR at 12.75-13.25 V; a program pulse needs VDD at 4.75-5.25 V.
// - Writes: 1100, 1101 and 1111 to program memory, the ID locations or the configuration bytes
//   latch the 16-bit operand as the word at TBLPTR's even address (low byte first), whatever
//   EECON1 holds; 1101 then steps TBLPTR by one (TBLWT*+), so a host that loads a word, pulses it
//   and loads FFFF steps on to the next word. A latched word is programmed by the next NOP whose
//   4th clock is held high: held 100 us or more it programs the cells (cells AND latch: bits only
//   go from 1 to 0), shorter it programs nothing; a pulse over 10 ms is a hazard. Any other
//   command replaces or drops the latch; there is no erase (3C:00:04 is outside the chip).
// - Configuration bytes 30:00:00-0D as the data sheet names them (CONFIG1L all CP bits, CONFIG1H
//   OSCSEN and FOSC2:0, ...); unimplemented bits read 0, and program memory reads 0 while any
//   CP bit is programmed.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

enum class Pic18Family {
  kOld,    // PIC18FXX2/XX8, PIC18F1220/1320, PIC18F2331/4331: one-byte erase codes, EE unlock
  kNew,    // PIC18F2XXX/4XXX: two-byte erase keys, configuration hold P9A
  kEprom,  // PIC18CXX2/XX8 EPROM and OTP parts: word latch and program pulse, no erase
};

struct Pic18Sheet {
  std::string_view name;
  Pic18Family family = Pic18Family::kOld;
  int pins = 40;
  int vdd = 32, vss = 31, mclr = 1, pgc = 39, pgd = 40, pgm = 38;  // chip pins; pgm 0: none
  int avdd = 0, avss = 0;
  std::uint32_t codeBytes = 32768, eeBytes = 256;
  std::uint32_t buffer = 8;  // write buffer bytes
  std::uint16_t devId = 0;   // DEVID2 << 8 | DEVID1, revision bits included
  std::uint32_t bootBytes = 0x200, blockBytes = 0x2000;
  std::array<std::uint8_t, 14> configMask{};
};

class Pic18Chip final : public ChipModel {
 public:
  explicit Pic18Chip(const Pic18Sheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override;
  int MaxMillivolts(int pin) const override { return pin == sheet_.mclr ? 13500 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const Pic18Sheet& sheet() const { return sheet_; }
  // A configuration byte as the chip reads it out.
  std::uint8_t ConfigRead(int i) const { return config[i] & sheet_.configMask[i]; }
  void EraseAll();

  std::vector<std::uint8_t> code, ee;
  std::array<std::uint8_t, 8> ids{};
  std::array<std::uint8_t, 14> config{};
  bool inMode = false;
  int entries = 0, erases = 0, rowsProgrammed = 0, shortHolds = 0, eeWrites = 0;
  int pulses = 0;  // EPROM: full program pulses

 private:
  enum class Phase { kCommand, kOperand, kRead, kHold, kErasing };

  int Level(const Programmer& p, int chipPin) const;
  bool MclrHigh(const Programmer& p) const;
  int VddMillivolts(const Programmer& p) const;
  void Fault(Programmer& p, const std::string& what);
  void StartCommand(Programmer& p);
  void EndOperand(Programmer& p);
  void Execute(Programmer& p, std::uint16_t insn);
  void SetBit(Programmer& p, std::uint8_t f, int bit, bool on);
  std::uint8_t* Register(std::uint8_t f);
  std::uint8_t ReadByte(std::uint32_t a) const;
  bool Protected(std::uint32_t a) const;
  void TableWrite(Programmer& p, std::uint8_t lo, std::uint8_t hi, bool program);
  void EndHold(Programmer& p, double heldUs);
  void EpromWrite(Programmer& p, std::uint8_t lo, std::uint8_t hi);
  void EpromPulse(Programmer& p, double heldUs);
  bool Eprom() const { return sheet_.family == Pic18Family::kEprom; }
  void Finish(Programmer& p, bool leaving);
  void Erase(std::uint16_t key);
  void LeaveMode(Programmer& p);

  Pic18Sheet sheet_;
  bool lastPowered_ = false, lastMclr_ = false;
  bool poweredNow_ = false, mclrNow_ = false, stampValid_ = false;
  std::uint32_t supplyStamp_ = 0;
  int lastClock_ = 0;
  Phase phase_ = Phase::kCommand;
  int count_ = 0;
  std::uint32_t shift_ = 0;
  std::uint8_t command_ = 0, out_ = 0;
  bool driving_ = false;
  int outBit_ = 0;
  // Core registers.
  std::uint8_t w_ = 0, tablat_ = 0, eecon1_ = 0, eedata_ = 0, eeadr_ = 0, eeadrh_ = 0;
  std::uint32_t tblptr_ = 0, pc_ = 0;
  bool gotoPending_ = false;
  std::uint8_t gotoLow_ = 0;
  int unlock_ = 0;                          // 1 after 55h to EECON2, 2 after AAh
  std::array<std::uint8_t, 3> eraseReg_{};  // 3C:00:04, 05, 06
  int nopsAfterKey_ = -1;
  // The write buffer and the programming armed by 1111.
  std::vector<std::uint8_t> buffer_;
  enum class Armed { kNone, kRow, kConfig, kWord } armed_ = Armed::kNone;
  std::uint32_t armedAddress_ = 0;
  std::uint8_t armedByte_ = 0;
  std::array<std::uint8_t, 2> latch_{};  // EPROM: the latched word
  int holdVdd_ = 0;
  double holdStart_ = 0;
  // Running work.
  double eraseStart_ = 0;
  std::uint16_t eraseKey_ = 0;
  bool eeBusy_ = false;
  double eeStart_ = 0;
  std::uint16_t eeAddress_ = 0;
  std::uint8_t eeData_ = 0;
};

// The part named by `chipName`, "" when none.
std::string_view Pic18PartOf(std::string_view chipName);
std::shared_ptr<Pic18Chip> MakePic18(std::string_view part);

}  // namespace zelvar::sim
