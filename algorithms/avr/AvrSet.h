#pragma once
// The frame of the AVR sets, on the microcontroller frame: the buffer layout (flash words from 0,
// low byte first, the EEPROM image after the code at the set's EEPROM image offset), the type row
// and its rules, the InfoRecord words, the set-up that refuses a chip without a design, and the
// calibration byte's store into the buffer. The programming engines (high-voltage parallel,
// high-voltage serial) stand on it.
#include <cstdint>
#include <functional>
#include <string_view>

#include "algorithms/mcs51/Mcs51Set.h"

namespace zelvar::avr {

// The socket pins of the programming signals, for the sets that drive them as plain pins (0:
// the set runs them on its design's lines).
struct AvrControlPins {
  std::uint8_t reset = 0, rdy = 0, oe = 0, wr = 0, bs = 0, xa0 = 0, xa1 = 0, xtal1 = 0;
};

// A row of the AVR type tables. Sizes are byte counts less one; a page of 0 means the area is
// written a byte at a time.
struct AvrType {
  std::string_view name;
  const char* bitstream = nullptr;  // the row's own design, where the set chooses by row
  std::uint32_t vppMillivolts = 12000;
  std::uint8_t vppPin = 0;  // the chip's RESET pin in the socket
  std::uint8_t vccPin = 0;
  std::uint8_t groundPin = 0;
  std::uint32_t codeLast = 0;
  std::uint32_t eepromLast = 0;
  std::uint32_t eepromPage = 0;
  std::uint32_t flashPage = 0;
  std::uint64_t contactMask = 0;
  // The high-voltage serial rows: ticks of a write wait, and waits after every instruction.
  std::uint8_t waitTicks = 0;
  std::uint8_t instructionWaits = 0;
  bool hasEeprom = true;  // false: the part has no data EEPROM (eepromLast unused)
  AvrControlPins control{};

  constexpr std::uint32_t codeSize() const { return codeLast + 1; }
  constexpr std::uint32_t eepromSize() const { return eepromLast + 1; }
};

// OptionValues words the AVR sets share: the calibration grid's address and frequency radio.
inline constexpr int kCalibrationAddressWord = 64;
inline constexpr int kCalibrationChoiceWord = 128;

class AvrSet : public mcs51::Mcs51Set {
 public:
  // The family's rules: RESET, VCC and GND distinct socket pins on the chip's mask, 11.5 to 12.5 V
  // on RESET, flash and EEPROM sizes powers of two, pages powers of two that divide their area,
  // the code and EEPROM image inside the buffer.
  static void CheckRow(const AvrType& t, TypeTableReport& r);

 protected:
  // The chosen row (row 0 when the chip was refused).
  virtual const AvrType& Type() const = 0;

  // Operation 1: the row checked against the table's `rows`, `bitstream` loaded (nullptr: the
  // chip is refused with `noDesign`, so that no operation runs on a design left from another
  // chip; "": the set needs no design), the EEPROM image offset, ground and the supply levels
  // (RESET's from the row).
  bool SetUp(std::size_t rows, const char* bitstream, const char* noDesign, int vccMillivolts);

  std::uint32_t LastAddress() const override { return Type().codeLast; }
  std::uint32_t DataStart() const override { return Type().hasEeprom ? Type().codeSize() : 0; }
  std::uint32_t DataLength() const override { return Type().hasEeprom ? Type().eepromSize() : 0; }
  // False, with a log line and StatusWord 1, when the chosen part has no EEPROM.
  bool HasEeprom() const;

  // The buffer byte of EEPROM address `a`.
  std::uint8_t* EepromImage(std::uint32_t a) { return buffer_ + eepromImageOffset_ + a; }

  // Operation 30's end: with a calibration address (OptionValues word 64) the byte goes into the
  // buffer there, which must lie inside the code and EEPROM image; with 0 it is only logged.
  // `frequency` names the oscillator the byte belongs to (nullptr: the part has one).
  void StoreCalibration(std::uint8_t value, const char* frequency);

  // Flash from address 0 in blocks (32 bytes for Verify, 64 otherwise), `readWord` queuing the
  // read of the word at each even address and each block coming back as one reply; the scan's
  // end when it passed.
  bool ScanFlashWords(Scan kind, const std::function<void(std::uint32_t)>& readWord);

  // The three signature bytes against the line's before any change (each engine's
  // ReadSignature reads them).
  std::optional<IdCheck> ChangeCheck() const override { return IdCheck{.bytes = 3}; }

  // Logs the ID format with the first three ReadId bytes.
  static void LogSignature(const char* format);

  std::uint32_t eepromImageOffset_ = 0;
};

}  // namespace zelvar::avr
