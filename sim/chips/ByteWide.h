#pragma once
// What the byte-wide flash and RAM models share: a JEDEC pinout (address, data, CE#, OE#, WE#,
// VCC and ground by chip pin), power from a supply on the VCC pin with ground grounded, the bus
// cycles seen as edges of WE# (address latched as it falls, data as it rises) and the outputs
// driven only while CE# and OE# are low and WE# is high.
//
// Rules no datasheet of these parts fixes, kept here:
// - A pin nothing drives reads as no level; a chip input at no level counts as neither low nor
//   high, so an undriven CE#, OE# or WE# starts nothing.
// - The clock of the simulated programmer advances per bulk transfer and per wait command, so
//   cycles within one transfer happen at one instant; the models time only what the sets wait
//   for with wait commands (erase times), never single bus cycles.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct ByteWidePinout {
  int pins = 32;
  std::vector<int> address;  // chip pins of A0, A1, ...
  std::vector<int> data;     // chip pins of D0..D7
  std::vector<int> ground;
  int vcc = 0, ce = 0, oe = 0, we = 0;
  int vccMin = 4500, vccMax = 5500;
  int maxOther = 7000;        // absolute maximum of the ordinary pins
  std::vector<int> highPins;  // pins rated for the 12 V levels (A9, OE#, VPP ...)
  int maxHigh = 13000;
};

// A 32-pin JEDEC pinout: data on pins 13-15 and 17-21, ground 16, VCC 32, CE# 22, OE# 24, WE#
// `we`, the first `addressBits` of `address` (A0 upwards) decoded.
ByteWidePinout Dip32Pinout(const std::vector<int>& address, int addressBits, int we);
// The 32-pin JEDEC flash pinout (29F040, 49F040, 39SF040 ...): pin 1 A18, pin 30 A17, pin 31 WE#.
ByteWidePinout JedecFlash32(int addressBits);

class ByteWideChip : public ChipModel {
 public:
  ByteWideChip(std::string name, ByteWidePinout pinout, std::uint32_t cells, std::uint8_t fill);

  std::string Name() const override { return name_; }
  int PinCount() const override { return pinout_.pins; }
  std::vector<int> GroundPins() const override { return pinout_.ground; }
  int MaxMillivolts(int pin) const override;
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const ByteWidePinout& pinout() const { return pinout_; }
  std::vector<std::uint8_t> cells;
  int writes = 0;  // bus write cycles the chip took

 protected:
  // A write cycle (WE# or CE# rising with the other low, OE# high) while powered.
  virtual void Write(Programmer& p, std::uint32_t address, std::uint8_t data) = 0;
  // What the outputs show at `address` while CE# and OE# are low and WE# high.
  virtual std::uint8_t Read(Programmer& p, std::uint32_t address) = 0;
  // Every pin change, before the bus is looked at (time-driven state, power loss).
  virtual void Update(Programmer&, bool /*powered*/) {}

  int Mv(const Programmer& p, int chipPin) const;
  bool Low(const Programmer& p, int chipPin) const;
  std::uint32_t Address(const Programmer& p);

 private:
  std::string name_;
  ByteWidePinout pinout_;
  // A pin no supply holds carries its driver's level: the supplies are looked at once per change.
  bool High(const Programmer& p, int socketPin, bool supplied) const;
  void TakeSupplies(const Programmer& p);

  std::vector<int> socket_;  // chip pin -> socket pin
  std::vector<int> addressSocket_, dataSocket_;
  std::uint32_t addressSupplied_ = 0, dataSupplied_ = 0;
  std::uint32_t suppliesAt_ = ~0u;
  std::vector<int> dataIndex_;
  bool writing_ = false;
  std::uint32_t latched_ = 0;
  bool driving_ = false;
  std::uint8_t out_ = 0;
};

}  // namespace zelvar::sim
