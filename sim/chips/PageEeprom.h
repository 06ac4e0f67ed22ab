#pragma once
// Byte-wide EEPROMs and page-write flash that take their bytes as loads and program them with an
// internal timer, written from the makers' datasheets: the 29EE/29C page-write flash (SST29EE010,
// AT29C256, AT29C010A ...), the 28C page EEPROMs (AT28C256, AT28C64B, AT28C010) and the
// 2816-class byte-write EEPROMs.
//
// - A byte load is a write cycle (WE# or CE# low with the other low and OE# high): address at the
//   falling edge, data at the rising edge. Loads follow each other within the byte-load window
//   (tBLC); when none comes for longer, the window closes and the write cycle (tWC) begins. The
//   2816-class parts start the write cycle at each load.
// - Software data protection (SDP), on the parts whose datasheet gives it: 0xAA at 0x5555, 0x55 at
// 0x2AAA, 0xA0 at 0x5555 at the start of
//   a window enables it and lets the window's bytes through; 0xAA, 0x55, 0x80, 0xAA, 0x55, 0x20
//   disables it; the state changes at the end of that write cycle. While enabled, a window without
//   the three-byte prefix writes nothing. The 29EE/29C parts also take the six-byte chip erase
//   (0x10 last). The command bytes are not stored.
// - A 29EE/29C write cycle erases the page and programs it: bytes of the page that were not loaded
//   read 0xFF afterwards. A 28C write replaces the loaded bytes only.
// - Chip clear of the 28C and 2816-class parts: OE# at VH (11.5 V to 12.5 V) at least 5 ms before
//   a WE# low pulse of at least 10 ms with CE# low; shorter pulses do nothing. The Xicor X28C256
//   (its datasheet: 64-byte pages, no erase or signature mode, every pin -1 V to +7 V) has no chip
//   clear: VH on any of its pins is over its rating. The Hitachi HN58C65 (its datasheet: 32-byte
//   pages, 10 ms, RDY/BUSY# on pin 1, inputs -0.6 V to +7 V) has neither SDP nor chip clear: every
//   load is data.
// - The Xicor X28C16, X28C17 and X2864A sheets were not to hand: the X28C16 and X28C17 are seated
//   as the 2816A and 2817A (ChipModels.cpp), and the X2864A takes their figures (10 ms a byte,
//   chip clear with OE# at VH, RDY/BUSY# on pin 1) with the 2864's 8 KB.
// - During a write cycle reads show DATA polling (DQ7 the complement of the last byte loaded, DQ6
//   toggling) and loads are ignored.
//
// Rules the datasheets leave open, kept here:
// - A new part arrives with SDP disabled.
// - The window's page is the page of its first data byte; data bytes of other pages in the same
//   window are dropped.
// - VCC lost during an open window or a write cycle drops that write: the cells and the protection
//   stay as they were.
// - The unlock addresses are decoded on A0..A14 within the part's own address lines (AT28C64B:
//   0x1555 and 0x0AAA).
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/chips/ByteWide.h"

namespace zelvar::sim {

enum class PageKind {
  Flash29,    // page-write flash: the page erased and programmed, software chip erase
  Eeprom28,   // page EEPROM: the loaded bytes replaced, chip clear by OE# at VH
  ByteWrite,  // 2816 class: one byte a write cycle, no SDP, chip clear by OE# at VH
};

enum class PagePinout {
  Dip32,       // the 32-pin JEDEC flash pinout
  Dip28,       // the 28-pin EEPROM pinout: A14 on pin 1, WE# on pin 27
  Dip28WeOn1,  // the 28-pin 29C pinout: WE# on pin 1, A14 on pin 27
  Dip24,       // the 24-pin 2816 pinout: WE# on pin 21
  Dip28Busy1,  // the 28-pin 2817/2864 pinout: RDY/BUSY# on pin 1, WE# on pin 27
};

struct PageEepromSheet {
  std::string_view name;
  PageKind kind = PageKind::Flash29;
  PagePinout pinout = PagePinout::Dip32;
  int addressBits = 17;
  int pageBytes = 128;
  double writeCycleUs = 10000;  // tWC, the longest the datasheet gives
  double loadWindowUs = 150;    // tBLC
  double chipEraseUs = 20000;   // software chip erase (Flash29)
  bool chipClear = true;        // the 28C and 2816-class chip clear with OE# at VH
  bool sdp = true;              // the page parts' software data protection
};

class PageEeprom final : public ByteWideChip {
 public:
  explicit PageEeprom(const PageEepromSheet& sheet);
  const PageEepromSheet& sheet() const { return sheet_; }

  bool protection = false;  // SDP enabled
  int writeCycles = 0;      // write cycles completed (pages, bytes, protection changes)
  int chipErases = 0;
  int ignoredLoads = 0;  // loads during a write cycle
  double writeCycleUs;   // settable by tests

 protected:
  void Write(Programmer& p, std::uint32_t address, std::uint8_t data) override;
  std::uint8_t Read(Programmer& p, std::uint32_t address) override;
  void Update(Programmer& p, bool powered) override;

 private:
  struct Pending {
    std::vector<std::pair<std::uint32_t, std::uint8_t>> cells;
    bool erase = false;
    bool protection = false;
  };
  void CloseWindow(double at);
  void Advance(double now);
  bool Busy() const { return busy_; }

  PageEepromSheet sheet_;
  std::vector<std::pair<std::uint32_t, std::uint8_t>> loads_;
  double lastLoadUs_ = 0;
  bool busy_ = false;
  double busyUntil_ = 0;
  Pending pending_;
  std::uint8_t lastByte_ = 0;
  bool toggle_ = false;
  bool weLow_ = false;
  double weFellUs_ = 0;
  double oeHighSinceUs_ = -1;
};

// The part by name ("AT28C256", "SST29EE010" ...); nullptr for a part without a model.
std::shared_ptr<PageEeprom> MakePageEeprom(std::string_view part);

}  // namespace zelvar::sim
