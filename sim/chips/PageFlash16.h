#pragma once
// The 16 Mbit page-write flash of the Macronix MX29F1610A/B class (2M x 8 / 1M x 16, 5 V), in
// byte mode, written from its datasheet: 16 sectors of 128 KiB; commands are 0xAA at byte address
// 0xAAAA and 0x55 at 0x5554 (word addresses 0x5555 and 0x2AAA), then a command byte at 0xAAAA:
// 0xA0 opens a page load (up to 128 bytes of one page, A6 and up the page, each byte's address
// latched at WE#'s falling edge and its data at the rising edge; the page is programmed, cells
// AND data, once no byte follows for the load window), 0x80 with a second unlock and 0x10 erases
// every unprotected sector, or 0x30 the sector addressed, 0x90 enters the ID mode (maker 0xC2 at
// byte address 0, the device code at 2, 0xC2 at byte 4 of a protected sector, else 0x00), 0x60
// with a second unlock and 0x20 protects the sector addressed or 0x40 unprotects every sector;
// 0xF0 returns to reading. Program and erase leave the chip in its status mode (bit 7 low while
// busy, high when ready) until the next command. Writes need CE# low and OE# high: OE# low
// inhibits them.
//
// The part sits in the SOP44 adapter of the "MX29X161X" set ("mx1611sop44",
// sim/designs/Mx1611.h): chip pin n on socket pin n - 2 (pins 1 and 2 on socket pins 47 and
// 48). So A-1 (DQ15) is on socket pin 29, A0-A7 on 9 down to 2, A8-A16 on 40 down to 32, A17 on
// 1, A18 on 48, A19 on 41, DQ0-DQ7 on 13, 15, 17, 19, 22, 24, 26, 28, CE# on 10, OE# on 12, WE#
// on 42, VCC on 21; the adapter joins both VSS pins on socket pin 30 and ties BYTE# to them. The
// model's pin numbers are the adapter's 48 pins as the socket places them (pin k on socket pin
// k - 4, pins 1-4 on 45-48).
//
// Rules the datasheet leaves open, kept here:
// - A page load ends when 30 us pass without a byte (the short end of the datasheet's 30 to
//   100 us); a byte outside the page of the load's first byte is not taken. The page then takes
//   3 ms (above the typical 0.9 ms), a sector erase 1.3 s and a chip erase `eraseUs`.
// - A-1 takes no part in the ID mode's codes: byte addresses 1 and 3 read as 0 and 2.
// - Protect and unprotect take effect at their last write; their timing is not modelled.
// - A write while busy, or a command out of sequence, is ignored (the latter ends the sequence).
// - Losing VCC ends any mode and leaves an unfinished program or erase undone.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct PageFlashSheet {
  std::string_view name;
  std::uint8_t maker = 0, device = 0;
};

class PageFlash16 final : public ChipModel {
 public:
  explicit PageFlash16(const PageFlashSheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return 48; }
  std::vector<int> GroundPins() const override;
  int MaxMillivolts(int pin) const override;
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  static constexpr std::uint32_t kBytes = 0x200000, kSectorBytes = 0x20000, kPageBytes = 128;
  std::vector<std::uint8_t> cells;  // byte addresses
  std::vector<bool> protect;        // one flag a sector
  double eraseUs = 16 * 1.3e6;      // a chip erase
  int pagePrograms = 0, chipErases = 0, unprotects = 0;

 private:
  int Level(const Programmer& p, int pin) const;
  std::uint32_t Address(const Programmer& p) const;
  std::uint8_t DataPins(const Programmer& p) const;
  void Reset();
  void Finish(double now);
  void Write(double now, std::uint32_t address, std::uint8_t data);
  std::uint8_t Read(std::uint32_t address);

  PageFlashSheet sheet_;
  std::vector<int> socket_;  // socket pin of each model pin
  bool powered_ = false;
  int lastWe_ = -1;
  std::uint32_t latched_ = 0;
  bool latchedValid_ = false;
  int unlock_ = 0;  // unlock cycles seen
  enum class Armed { kNone, kErase, kProtect } armed_ = Armed::kNone;
  bool idMode_ = false, statusMode_ = false;
  // The page load and the internally timed operation.
  bool loading_ = false;
  std::uint32_t page_ = 0;
  std::vector<int> pageData_;  // -1: not loaded
  double lastLoadUs_ = 0;
  bool busy_ = false;
  double busyEnd_ = 0;
  std::vector<std::uint32_t> erasing_;  // sector numbers
  bool programming_ = false;
  std::uint8_t lastData_ = 0;
  bool toggle_ = false;
  bool driving_ = false;
  std::uint8_t out_ = 0;
};

// A model by part name ("MX29F1610A", "MX29F1610B"); nullptr for a part without one.
std::shared_ptr<PageFlash16> MakePageFlash16(std::string_view part);
// The part `chipName` names, "" when none.
std::string_view PageFlash16PartOf(std::string_view chipName);

}  // namespace zelvar::sim
