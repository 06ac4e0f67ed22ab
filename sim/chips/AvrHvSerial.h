#pragma once
// 8-pin AVR parts in their high-voltage serial programming mode, written from the programming
// chapters of the Atmel datasheets (ATtiny11, ATtiny12, ATtiny15, AT90S2323, AT90S2343).
//
// Rules the model follows, from the datasheets' tables and waveforms:
//  - Pins: RESET 1, SCI 2 (PB3), GND 4, SDI 5 (PB0), SII 6 (PB1), SDO 7 (PB2), VCC 8. Powered
//    only by a supply of 4.5 to 5.5 V on VCC with GND grounded.
//  - Programming mode is entered when RESET rises to 11.5-12.5 V while the chip is powered, SCI
//    and SDI are low and SCI has pulsed at least four times since power-up with RESET low. RESET
//    below 11.5 V or power lost ends it. Frames within 50 µs of the entry are lost.
//  - Each SCI rising edge shifts one bit of SDI and SII in; eleven make a frame (a 0 bit, the byte
//    MSB first, two 0 bits), carried out on the eleventh edge. Before each edge SDO shows the next
//    bit of the byte the last read frame latched (a 0 bit, then MSB first).
//  - Instructions (SII): 4C load command, 0C and 1C the address's low and high byte, 2C and 3C
//    the data's low and high byte, 64 (BS low) and 74 (BS high) WR low, 68 and 78 OE low (latch the
//    byte to shift out), 6C and 7C idle. A WR starts the loaded command: chip erase, flash byte
//    (low or high of the addressed word), EEPROM byte, fuse byte, lock byte; the chip is busy for
//    the cycle time, and only idle frames are taken until it completes with power and mode held.
//  - Flash cells program by AND, EEPROM and fuse bytes replace (bits the part lacks read 1), lock
//    bits (bits 1 and 2) only go from 1 to 0; chip erase sets flash, EEPROM and lock bits to 1.
//    LB1 programmed stops flash and EEPROM writes; LB1 and LB2 make flash and EEPROM read 0xFF.
//  - Reads: with command 02 the word's low (68) or high (78) byte, 03 the EEPROM byte, 08 the
//    signature byte at the low address (68) or the calibration byte (78), 04 the fuse byte (68) or
//    the lock bits (78).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct AvrSerialSheet {
  std::string name;
  std::uint32_t flashBytes = 1024;
  std::uint32_t eepromBytes = 64;
  std::array<std::uint8_t, 3> signature{};
  std::vector<std::uint8_t> calibration;
  std::uint8_t fuseDefault = 0xFF, fuseMask = 0xFF;
  double writeUs = 4500, eraseUs = 9000;
};

class AvrHvSerialChip final : public ChipModel {
 public:
  explicit AvrHvSerialChip(AvrSerialSheet sheet);

  std::string Name() const override { return sheet_.name; }
  int PinCount() const override { return 8; }
  std::vector<int> GroundPins() const override { return {kGnd}; }
  int MaxMillivolts(int pin) const override { return pin == kReset ? 13000 : 6000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;
  // Models below 6300 take the 8-pin chip with its pin 1 in socket pin 11.
  int SeatPin(int model) const override { return model < 6300 ? 11 : 0; }

  const AvrSerialSheet& sheet() const { return sheet_; }
  std::vector<std::uint8_t> flash, eeprom;
  std::uint8_t fuse = 0xFF, lock = 0xFF;
  bool programming = false;
  int entries = 0, erases = 0, writes = 0, lost = 0;

  static constexpr int kReset = 1, kSci = 2, kGnd = 4, kSdi = 5, kSii = 6, kSdo = 7, kVcc = 8;

 private:
  int In(Programmer& p, int pin) const { return p.InputMillivolts(socket_[pin]); }
  bool High(Programmer& p, int pin) const { return In(p, pin) >= 2500; }
  void Execute(Programmer& p, std::uint8_t instruction, std::uint8_t data);
  void StartCycle(Programmer& p, bool highByte);
  void Complete();
  std::uint8_t ReadValue(bool highByte) const;

  AvrSerialSheet sheet_;
  std::array<int, 9> socket_{};
  bool placed_ = false;
  int toggles_ = 0;
  bool sciWas_ = false, resetHigh_ = false;
  double enteredAt_ = 0;
  int bits_ = 0;
  std::uint16_t sdi_ = 0, sii_ = 0;
  std::uint8_t command_ = 0, addrLow_ = 0, addrHigh_ = 0, dataLow_ = 0xFF, dataHigh_ = 0xFF;
  std::uint8_t outByte_ = 0;
  int outPos_ = 0;  // the frame bit SDO shows
  bool pending_ = false;
  double doneAt_ = 0;
  std::uint8_t pendingCommand_ = 0, pendingData_ = 0;
  bool pendingHigh_ = false;
  std::uint32_t pendingAddress_ = 0;
};

// A model by part name: "ATtiny11", "ATtiny12", "ATtiny15", "AT90S2323", "AT90S2343"; nullptr
// otherwise.
std::shared_ptr<AvrHvSerialChip> MakeAvrHvSerial(std::string_view part);
std::string_view AvrHvSerialPartOf(std::string_view chipName);

}  // namespace zelvar::sim
