#pragma once
// AVR parts in their high-voltage parallel programming mode, written from the programming chapters
// of the Atmel datasheets (ATmega48/88/168, ATmega161, ATmega162, ATmega163, ATmega8, ATmega16,
// AT90S1200, AT90S2313,
// ATmega32, ATmega64, ATmega128, ATtiny2313, ATtiny28, AT90S2333/4433, AT90S4414/8515,
// AT90S4434/8535).
//
// Rules the model follows, from the datasheets' tables and waveforms:
//  - Powered only by a supply inside the part's operating range on VCC with the first GND pin
//    grounded; a second GND and AVCC are taken as tied to GND and VCC on the board. The
//    programming characteristics hold at 5 V ± 10 %: a WR cycle started below 4.5 V is lost.
//  - Programming mode is entered when RESET rises to 11.5-12.5 V while the chip is powered and the
//    programming-enable pins (PAGEL, XA1, XA0, BS1) are low, in each datasheet's entry order:
//    - ATmega48/88/168 and ATtiny2313: RESET rises 20-60 µs after VCC came on (the entry that
//      still works with RESET disabled as I/O by RSTDISBL); earlier or later enters nothing.
//    - ATmega8, ATmega16, ATmega32, ATmega64, ATmega128 and ATmega162: VCC on for at least
//      100 µs, then at least six XTAL1 pulses with RESET low, then RESET rises.
//    - The other parts: RESET rises any time after VCC.
//    RESET below 11.5 V or power lost ends it. A RESET above 12.5 V enters nothing. Commands within
//    the part's start-up time (300 µs on the ATmega48 family) are lost.
//  - XTAL1's rising edge latches DATA by XA1/XA0: 00 an address byte (BS1 high: the high byte),
//    01 a data byte (BS1 high: the high byte), 10 the command. PAGEL's rising edge latches the data
//    word (BS1 high) into the flash page buffer, or the data byte into the EEPROM page buffer, at
//    the low address byte's place in the page.
//  - WR's falling edge starts the loaded command: flash page (BS1 low), EEPROM page (the bytes
//    latched) or, on parts without an EEPROM page buffer (ATmega161), the loaded EEPROM byte, fuse
//    byte (BS2/BS1 00 low, 01 high, 10 extended), lock byte, chip erase. The chip
//    is busy for the datasheet's maximum tWLRH (flash pages: tWLRH_FLASH) or tWLRH_CE; the cycle
//    takes effect only when it completes with power and programming mode held, and any latch or WR
//    edge while busy is lost.
//  - The classic AT90S parts have no page buffers: WR's falling edge writes the loaded flash byte
//    (BS: the word's high byte) or EEPROM byte, self-timed; their chip erase and fuse write run
//    while WR is held low (tWLWH_CE 5-15 ms, tWLWH_PFB 1.0-1.8 ms) and take effect as WR rises,
//    a pulse outside that window doing nothing. Where PAGEL shares BS1's pin (ATtiny2313) the
//    page buffer latches as the pin falls, since BS1 must rise before the high byte is loaded.
//  - RDY/BSY (modelled on the 20-pin AT90S1200/2313 and the 40-pin DIP AT90S4414/8515 and
//    AT90S4434/8535, PD1) drives low from a WR-started cycle until it
//    completes, high otherwise, and only in programming mode.
//  - Flash cells program by AND; EEPROM bytes replace; fuse bytes replace (bits the part lacks
//    read 1); lock bits only go from 1 to 0. The chip erase sets flash, EEPROM (kept when EESAVE is
//    programmed) and lock bits to 1 and leaves the fuses alone.
//  - Lock bit LB1 programmed stops flash, EEPROM and fuse writes; LB1 and LB2 programmed also make
//    flash and EEPROM read 0xFF.
//  - With OE low and a read command loaded the chip drives DATA: the flash word's low byte (BS1
//    low) or high byte at the loaded word address, the EEPROM byte, the signature byte (BS1 low) or
//    calibration byte (BS1 high) at the low address byte, the fuse and lock bytes by BS2/BS1 (00
//    low, 11 high, 10 extended, 01 lock). Addresses wrap at the part's size. A part with one
//    calibration byte answers 0xFF at any other calibration address.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct AvrSheet {
  std::string name;
  int pins = 28;
  // Chip pins; ground2 0 when the part has one GND pin.
  int vcc = 7, ground = 8, ground2 = 22, reset = 1, xtal1 = 9, oe = 4, wr = 5, bs1 = 6, xa0 = 11,
      xa1 = 12, pagel = 13, bs2 = 25;
  std::array<int, 8> data = {14, 15, 16, 17, 18, 19, 23, 24};
  int rdy = 0;  // RDY/BSY (an output in programming mode); 0 where the model leaves it out
  std::uint32_t flashBytes = 4096;
  std::uint32_t flashPage = 64;  // bytes
  std::uint32_t eepromBytes = 256;
  std::uint32_t eepromPage = 4;  // 0: written a byte per WR pulse
  std::array<std::uint8_t, 3> signature{};
  std::vector<std::uint8_t> calibration;                         // by calibration address
  std::array<std::uint8_t, 3> fuseDefault = {0x62, 0xDF, 0xFF};  // low, high, extended
  std::array<std::uint8_t, 3> fuseMask = {0xFF, 0xFF, 0x01};     // the bits the part has
  std::uint8_t lockMask = 0x03;
  double writeUs = 4500, flashUs = 4500, eraseUs = 9000, startUs = 300;
  int vccMin = 4500;          // the operating range's low end
  int entryToggles = 0;       // XTAL1 pulses the entry needs with RESET low
  double togglesAfterUs = 0;  // the time VCC must have been on before those pulses count
  std::array<double, 2> entryWindowUs{};  // RESET's rise after VCC on, µs; {0, 0}: any time
  std::uint8_t eesave = 0x08;             // EESAVE's bit in the high fuse byte
  bool latchOnPagelFall = false;  // the page buffer latches as PAGEL falls (PAGEL on BS1's pin)
  // The AT90S parts: flashPage 0 (a byte per WR pulse), one fuse byte read with the lock bits,
  // and the chip erase and fuse write done while WR is held low for a width inside these windows
  // (0: self-timed from WR's falling edge).
  bool fuseLockByte = false;
  std::array<double, 2> eraseLowUs{}, fuseLowUs{};
  // Jumpers (socket pin, chip pin) for a part wired to the socket instead of seated in it.
  std::vector<std::pair<int, int>> wiring;
};

class AvrHvParallelChip final : public ChipModel {
 public:
  explicit AvrHvParallelChip(AvrSheet sheet);

  std::string Name() const override { return sheet_.name; }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override {
    if (sheet_.ground2 == 0) return {sheet_.ground};
    return {sheet_.ground, sheet_.ground2};
  }
  int MaxMillivolts(int pin) const override { return pin == sheet_.reset ? 13000 : 6000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;
  std::vector<std::pair<int, int>> Wiring() const override { return sheet_.wiring; }

  const AvrSheet& sheet() const { return sheet_; }
  std::vector<std::uint8_t> flash;   // erased 0xFF
  std::vector<std::uint8_t> eeprom;  // erased 0xFF
  std::array<std::uint8_t, 3> fuses{};
  std::uint8_t lock = 0xFF;
  bool programming = false;
  int entries = 0;
  int missedEntries = 0;  // RESET raised to 12 V with the entry's order or timing wrong
  int erases = 0;
  int writes = 0;  // cycles that completed
  int lost = 0;    // edges or cycles that did not take

 private:
  enum Latch { kAddrLow, kAddrHigh, kDataLow, kDataHigh };
  int In(Programmer& p, int chipPin) const;
  bool High(Programmer& p, int chipPin) const { return In(p, chipPin) >= 2500; }
  std::uint8_t DataIn(Programmer& p) const;
  bool Busy(const Programmer& p) const { return pending_ && p.clockUs() < doneAt_; }
  void Complete();
  void StartCycle(Programmer& p, bool bs1, bool bs2);
  std::uint8_t ReadValue(bool bs1, bool bs2) const;
  bool HeldWr(std::uint8_t command) const;
  void EndHeldWr(double now);

  AvrSheet sheet_;
  std::vector<int> socket_;
  int toggles_ = 0;  // XTAL1 pulses since power-up with RESET low
  bool wasPowered_ = false;
  double poweredAt_ = 0;
  bool lowVcc_ = false;
  bool resetHigh_ = false, xtalWas_ = false, pagelWas_ = false, wrWasLow_ = false;
  double enteredAt_ = 0;
  std::uint8_t command_ = 0, addrLow_ = 0, addrHigh_ = 0, dataLow_ = 0xFF, dataHigh_ = 0xFF;
  std::vector<std::uint8_t> flashBuffer_, eepromBuffer_;
  std::vector<bool> eepromLatched_;
  // The cycle WR started, applied when it completes.
  bool pending_ = false;
  double doneAt_ = 0;
  std::uint8_t pendingCommand_ = 0, pendingData_ = 0;
  int pendingFuse_ = 0;
  std::uint32_t pendingAddress_ = 0;
  std::vector<std::uint8_t> pendingFlash_, pendingEeprom_;
  std::vector<bool> pendingLatched_;
  bool driving_ = false;
  bool ready_ = true;  // RDY/BSY: no cycle running
  std::uint8_t out_ = 0xFF;
  // A chip erase or fuse write that runs while WR is held low.
  bool held_ = false;
  std::uint8_t heldCommand_ = 0, heldData_ = 0;
  double wrFellAt_ = 0;
};

// A model by part name: "ATmega48", "ATmega88", "ATmega168", "ATmega161", "ATmega162", "ATmega163",
// "ATmega8", "ATmega16", "ATmega32", "ATmega64", "ATmega128" (the last two on their adapter),
// "AT90S1200", "AT90S2313",
// "ATtiny2313", "AT90S2333", "AT90S4433", "ATtiny28", "AT90S4414", "AT90S8515", "AT90S4434",
// "AT90S8535", the PLCC44 packages "AT90S8515*P44", "AT90S8535*P44", and "AT90S4434(wired)",
// "AT90S8535(wired)": the DIP AT90S4434/8535 wired by jumpers so that the programmer sees the
// AT90S8515's programming pins (socket pins 1-9 to chip pins 1-9, 40 to VCC 10, 20 to GND 11,
// 11-16 to PD1-PD6 15-20, 19 to XTAL1 13), as set "AT90S8515S" asks a user to wire them.
// nullptr for an unknown name.
std::shared_ptr<AvrHvParallelChip> MakeAvrHvParallel(std::string_view part);
// The longest part name of MakeAvrHvParallel a catalogue chip name holds; empty when none does.
std::string_view AvrHvParallelPartOf(std::string_view chipName);

}  // namespace zelvar::sim
