#pragma once
// I2C serial EEPROMs of the 24Cxx kind and the X24C01, after their public datasheets (AT24C01A to
// AT24C1024, X24C01), in the 8-pin DIP: 1 A0, 2 A1, 3 A2, 4 GND, 5 SDA, 6 SCL, 7 WP, 8 VCC (the
// X24C01 has no A or WP pins).
// - Powered by a supply inside the part's range on pin 8 with pin 4 grounded; an unpowered chip
//   forgets a page it has not committed and drives nothing.
// - Start: SDA falls while SCL is high; stop: SDA rises while SCL is high. Bits are taken on the
//   rising clock edge, the chip changes SDA only while SCL is low, and it drives SDA only low
//   (open drain). The chip acknowledges a byte by holding SDA low through the ninth clock.
// - Device byte 1010 s3 s2 s1 R/W: the select bits carry address bits 8 and up from s1 up (the
//   part's page bits), the rest must match the A2 (s3), A1 (s2) and A0 (s1) pins; a byte that does
//   not match is not acknowledged and the chip waits for the next start. Parts up to 2 KiB then
//   take one word-address byte, larger parts two (the high byte first, bits above the size
//   ignored).
// - X24C01: the byte after the start holds the word address in bits 7..1 and R/W in bit 0.
// - Write: data bytes go to a page buffer at the counter, which wraps inside the page; the stop
//   commits them (unless WP is high) and starts the write cycle, during which the chip answers no
//   start. A start before the stop drops the page.
// - Read: from the address counter, stepping over the whole array and wrapping at its end; each
//   byte the master acknowledges is followed by the next, a missing acknowledge ends the read.
// - Open in the datasheets, chosen here: undriven A and WP pins read low (the parts' internal
//   pull-downs), undriven SDA and SCL read high (the bus pull-ups); a read's device byte takes
//   its select bits as a match only, the counter stays as it was.
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct I2cPart {
  std::string_view name;
  std::uint32_t size = 0;
  std::uint32_t pageBytes = 0;
  int addressBytes = 1;  // 0: the X24C01 form
  int pageBits = 0;      // device-select bits that carry address bits (from s1 up)
  int minMillivolts = 1800;
  int writeUs = 5000;  // the write cycle's maximum
  bool writeProtect = true;
};

class I2cEeprom final : public ChipModel {
 public:
  explicit I2cEeprom(const I2cPart& part);
  std::string Name() const override { return std::string(part_.name); }
  int PinCount() const override { return 8; }
  std::vector<int> GroundPins() const override { return {4}; }
  int MaxMillivolts(int) const override { return 7000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override { return pin == 5 && sdaLow_ ? 0 : -1; }

  const I2cPart& part() const { return part_; }
  std::vector<std::uint8_t> cells;
  int pagesWritten = 0;

 private:
  enum class State { kIdle, kDevice, kHigh, kLow, kWrite, kAckRead, kRead };
  bool Level(Programmer& p, int pin, bool undriven) const;
  void Receive(std::uint8_t b, Programmer& p);
  void Commit(Programmer& p);

  I2cPart part_;
  State state_ = State::kIdle;
  bool scl_ = true, sda_ = true;
  bool sdaLow_ = false;
  int clock_ = 0;  // rising edges in the current byte, 0 to 9
  std::uint8_t shift_ = 0;
  bool ack_ = false;  // the chip acknowledges the byte being clocked
  bool masterAck_ = false;
  std::uint32_t counter_ = 0;
  std::uint32_t high_ = 0;  // address bits from the device byte and the high address byte
  std::uint8_t out_ = 0;
  std::vector<std::pair<std::uint32_t, std::uint8_t>> page_;
  double busyUntilUs_ = 0;
};

// The part named in `chipName` (the longest match), or "".
std::string_view I2cPartOf(std::string_view chipName);
std::shared_ptr<I2cEeprom> MakeI2cEeprom(std::string_view part);

}  // namespace zelvar::sim
