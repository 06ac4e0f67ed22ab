#pragma once
// Flash of the standard command set with sectors, in word mode, written from its datasheet (the
// Am29LV160DB and Am29LV160DT, 16 Mbit, 3.0 V): a command is 0xAA at 0x555 and 0x55 at 0x2AA
// (A10..A0) and a command word at 0x555; 0xA0 programs the next write (cell AND data), 0x80 with
// a second unlock and 0x10 erases every unprotected sector, or 0x30 the sector addressed; 0x90
// enters autoselect (maker 0x0001 at address 0, the device code at 1, the protect status of the
// sector addressed at 2) and 0xF0 returns to reading. While an erase runs, reads show DQ7 low and
// DQ6 toggling and writes are ignored. RESET# low resets the chip; RESET# at 11.5 V to 12.5 V
// lifts the sector protection while it lasts (temporary unprotect).
//
// The part sits in the 16-bit TSOP48 adapter of the "P29F640" set (sim/designs/P29F640.h): its
// datasheet pins reach the socket as A0-A8 on socket pins 1-9, A9 on 12, A10-A19 on 13-20 and
// 22-23, DQ0-DQ15 on 26-29, 31-38 and 40-43, CE# on 10, OE# on 39, WE# on 45, RESET# on 44, VCC
// on 21 and both VSS on 11 and 30; the adapter holds BYTE# at VCC. The model's pin numbers are
// the adapter's 48 pins as the socket places them (pin k on socket pin k - 4, pins 1-4 on 45-48).
//
// The Atmel AT49BV16X4A parts (AT49BV1614A bottom boot, maker 0x001F, device 0x00C0; the -T
// top boot, 0x00C2) take the same word-mode bus on the same TSOP48 pins, with their own datasheet's
// differences: command addresses 0x5555 and 0x2AAA (A14..A0), eight 8 KiB, two 32 KiB and thirty
// 64 KiB sectors (mirrored on the -T), no high-voltage sector protect, and the 128-bit protection
// register: 0xC0 after the two unlock cycles makes the next write a protection-register program
// (cell AND data) at word 0x80 (the lock word: D1 low locks block B) or 0x85-0x88 (block B, the
// user's 64 bits); block A at 0x81-0x84 holds the factory's number and takes no write. In the
// identifier mode (0x90) words 0x80-0x88 read the register.
//
// Rules the datasheet leaves open, kept here:
// - The high-voltage sector protect is taken in its simple form: with A9 and OE# at 11.5 V or
//   more and CE# low, a WE# pulse of at least 100 us protects the sector addressed with A6 low
//   and A1 high, or, with A6 high, unprotects every sector.
// - A program takes at its data latch and ends within the cycles that follow; a sector erase
//   takes 0.7 s and a chip erase 25 s in simulated time (the typical figures).
// - Losing VCC ends any mode and leaves an unfinished erase undone.
// - The protection register's lock word leaves the factory as 0xFFFE (block A locked), block A
//   holds a fixed number, block B reads 0xFFFF until programmed; a write to a locked block B or
//   to block A, or outside 0x80-0x88, changes nothing, and every protection-register program
//   takes the program time.
// - A pin nothing drives counts as neither low nor high. The pins are rated as the datasheets'
//   absolute maximum ratings give (MaxMillivolts), with VCC + 0.5 V taken at the 3.6 V top of the
//   range: a logic high above it (the programmer's 5 V levels before a set chooses 3.3 V) is a
//   hazard.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct SectorFlashSheet {
  std::string_view name;
  std::uint16_t maker = 0, device = 0;
  std::uint32_t bytes = 0;
  bool bottomBoot = true;  // the small sectors at the bottom, else at the top
  // The small sectors from the boot end: AMD's 16, 8, 8 and 32 KiB, or Atmel's eight 8 KiB and
  // two 32 KiB; 64 KiB sectors fill the rest.
  bool atmelSectors = false;
  // Command addresses: the bits decoded and the two unlock addresses.
  std::uint32_t commandMask = 0x7FF, unlock1 = 0x555, unlock2 = 0x2AA;
  bool protectionRegister = false;
  bool highVoltageProtect = true;
};

class SectorFlash final : public ChipModel {
 public:
  explicit SectorFlash(const SectorFlashSheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return 48; }
  std::vector<int> GroundPins() const override;
  int MaxMillivolts(int pin) const override;
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const SectorFlashSheet& sheet() const { return sheet_; }
  struct Sector {
    std::uint32_t start = 0, bytes = 0;  // byte addresses
    bool protect = false;
  };
  std::vector<Sector> sectors;
  std::vector<std::uint8_t> cells;  // bytes, word w at 2w (low) and 2w + 1
  int chipErases = 0;
  int programs = 0;
  // The protection register, words 0x80 (lock) to 0x88, where the sheet has one.
  static constexpr std::uint32_t kProtectionFirst = 0x80;
  std::array<std::uint16_t, 9> protection{};
  int protectionPrograms = 0;

 private:
  int Mv(const Programmer& p, int chipPin) const;
  int Level(const Programmer& p, int chipPin) const;
  std::uint32_t WordAddress(const Programmer& p) const;
  std::uint16_t DataPins(const Programmer& p) const;
  Sector* SectorOf(std::uint32_t wordAddress);
  void Reset();
  void Finish(double now);
  void Write(double now, std::uint32_t address, std::uint16_t data);
  std::uint16_t Read(std::uint32_t address);
  void Protect(std::uint32_t address, bool unprotect);

  SectorFlashSheet sheet_;
  std::vector<int> socket_;
  bool powered_ = false;
  bool temporaryUnprotect_ = false;
  int lastWe_ = -1;
  std::uint32_t latched_ = 0;
  double pulseStart_ = 0;
  bool autoselect_ = false;
  int unlock_ = 0;
  bool programArmed_ = false, eraseArmed_ = false, protectionArmed_ = false;
  bool busy_ = false;
  double busyEnd_ = 0;
  std::vector<Sector*> erasing_;
  bool toggle_ = false;
  bool driving_ = false;
  std::uint16_t out_ = 0;
};

// A model by part name ("AM29LV160DB", "AM29LV160DT", "AT49BV1614A", "AT49BV1614AT"); nullptr
// for a part without one.
std::shared_ptr<SectorFlash> MakeSectorFlash(std::string_view part);
// The part `chipName` names (the longest that matches), "" when none.
std::string_view SectorFlashPartOf(std::string_view chipName);

}  // namespace zelvar::sim
