#pragma once
// 25-series SPI EEPROMs (AT25010 to AT25256), SPI flash (AT25F512A) and the X5045/X5043
// supervisors' 512-byte EEPROM, after their public datasheets, in the 8-pin DIP: 1 CS#, 2 SO,
// 3 WP#, 4 GND, 5 SI, 6 SCK, 7 HOLD# (the X5045's RESET output), 8 VCC.
// - Powered by a supply inside the part's range on pin 8 with pin 4 grounded; without power the
//   chip forgets its write enable and drives nothing.
// - SPI mode 0: SI is taken on the rising SCK edge, SO changes on the falling edge and is driven
//   only while CS# is low and the instruction has data to give. An instruction starts at the
//   falling CS#; a write, a status write, an enable or an erase acts at the rising CS# after a
//   whole number of bytes.
// - Instructions: 06 write enable, 04 write disable, 05 read status (repeated), 01 write status,
//   03 read (the counter runs over the whole array and wraps), 02 write (bytes to a page buffer
//   at the counter, wrapping inside the page). EEPROMs up to 256 bytes take one address byte; the
//   512-byte part takes address bit 8 in bit 3 of the opcode; larger EEPROMs two address bytes;
//   the flash three. Write, status write and erase need the write enable and clear it.
// - Status: bit 0 busy, bit 1 write enable, the protect bits the part has (EEPROM BP0 bit 2 and
//   BP1 bit 3: none, the upper quarter, half or all of the array; flash BP bit 2: all) and bit 7
//   WPEN, which with WP# low refuses status writes. Writes into a protected area are dropped.
// - The flash programs by clearing bits (a byte written becomes old AND new) and erases the whole
//   chip to 0xFF by its chip-erase opcode; the AT25F512A: opcode 62h, its ID (1Fh 65h) from
//   opcode 15h. The W25X10: 128 KiB in two 64 KiB blocks, 256-byte pages, 2.7 to 3.6 V, chip
//   erase C7h (its 60h alias not modelled), at most 3 ms a page and 2 s a chip erase; status BP0
//   (bit 2) and BP1 (bit 3): 01 guards the upper block, 1x both (the TB bit is not modelled); SRP
//   (bit 7) with WP# low refuses status writes; opcode 90h with three address bytes gives the
//   maker and device IDs (EFh 10h), alternating, the device's first at an odd address.
// - X5045/X5043: 16-byte pages, 4.5 to 5.5 V, a write cycle of up to 10 ms; status bits 2 and 3
//   block-lock the upper quarter, half or all of the array, bits 4 and 5 (WD0, WD1) choose the
//   watchdog period (1.4 s, 600 ms, 200 ms, off); no WPEN: WP# low refuses every write. Pin 7 is
//   the reset output, not a hold input; the watchdog's reset pulses are not modelled (the chip
//   keeps answering while RESET is active), so its period is only the stored bits.
// - Ratings: the 3.3 V flash parts take VCC up to their 3.6 V operating maximum (the W25X10's
//   absolute maximum is 4.0 V) and the programmer's 5 V logic on their other pins (the W25X10
//   sheet gives VCC + 0.4 V, which the simulated drivers' fixed level cannot express); more is a
//   hazard. The other parts take up to 7 V.
// - While busy (the write cycle, the erase) only the status read is answered.
// - Open in the datasheets, chosen here: undriven CS#, WP# and HOLD# read high; HOLD# low stops
//   the clock's effect; an X5045 comes with its watchdog off (status 30h).
// - The X5045/X5043 also come in a 14-lead package (`kX5045Pins14`): 1 CS#, 2 SO, 6 WP#, 7 VSS,
//   8 SI, 9 SCK, 13 RESET, 14 VCC, the other pins not connected.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct SpiPart {
  std::string_view name;
  std::uint32_t size = 0;
  std::uint32_t pageBytes = 0;
  int addressBytes = 0;  // 0: by size (the EEPROM forms)
  bool flash = false;
  std::uint8_t statusWritable = 0x8C;
  std::uint8_t eraseOpcode = 0;
  std::uint8_t idOpcode = 0;
  bool idAfterAddress = false;  // three address bytes before the ID; address bit 0 picks the first
  std::array<std::uint8_t, 2> id{};
  bool halfBlockProtect = false;  // flash BP1:BP0 = 01 guards the upper half, 1x all
  int minMillivolts = 1800;
  int maxMillivolts = 5500;
  // Ratings: the VCC supply (not the contact check's sense level on its route) and every pin.
  int vccRatingMillivolts = 7000;
  int pinAbsMaxMillivolts = 7000;
  int writeUs = 5000;
  int eraseUs = 0;
  bool supervisor = false;  // the X5045 kind: pin 7 RESET, WP# guards every write
  std::uint8_t initialStatus = 0;
};

// The package: its pin count and where each line is.
struct SpiPins {
  int count = 8;
  int cs = 1, so = 2, wp = 3, gnd = 4, si = 5, sck = 6, hold = 7, vcc = 8;
};
inline constexpr SpiPins kSpiPins8{};
inline constexpr SpiPins kX5045Pins14{
    .count = 14, .cs = 1, .so = 2, .wp = 6, .gnd = 7, .si = 8, .sck = 9, .hold = 13, .vcc = 14};

class SpiMemory final : public ChipModel {
 public:
  explicit SpiMemory(const SpiPart& part, const SpiPins& pins = kSpiPins8);
  std::string Name() const override {
    return std::string(part_.name) + (pins_.count == 8 ? "" : "(14pin)");
  }
  int PinCount() const override { return pins_.count; }
  std::vector<int> GroundPins() const override { return {pins_.gnd}; }
  int MaxMillivolts(int) const override { return part_.pinAbsMaxMillivolts; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override { return pin == pins_.so ? so_ : -1; }

  const SpiPart& part() const { return part_; }
  std::vector<std::uint8_t> cells;
  std::uint8_t status = 0;  // the non-volatile bits (protect, WPEN)
  int pagesWritten = 0;
  int erases = 0;

 private:
  bool Level(Programmer& p, int pin) const;
  void TakeByte(std::uint8_t b, Programmer& p);
  void EndInstruction(Programmer& p);
  bool Busy(const Programmer& p) const { return p.clockUs() < busyUntilUs_; }
  std::uint8_t StatusByte(const Programmer& p) const;
  bool Protected(std::uint32_t a) const;
  std::uint8_t NextOut(const Programmer& p);

  SpiPart part_;
  SpiPins pins_;
  bool selected_ = false, sck_ = false;
  int so_ = -1;
  bool writeEnable_ = false;
  std::vector<std::uint8_t> bytes_;  // of the instruction so far
  int bits_ = 0;
  std::uint8_t shift_ = 0;
  bool output_ = false;
  std::uint8_t out_ = 0;
  int outPos_ = 0;
  std::uint32_t counter_ = 0;
  std::uint8_t opcode_ = 0;
  std::vector<std::pair<std::uint32_t, std::uint8_t>> page_;
  double busyUntilUs_ = 0;
  bool overVcc_ = false;
};

std::string_view SpiPartOf(std::string_view chipName);
std::shared_ptr<SpiMemory> MakeSpiMemory(std::string_view part, const SpiPins& pins = kSpiPins8);

}  // namespace zelvar::sim
