#pragma once
// AVR parts in their low-voltage serial programming mode (SPI with RESET low), written from the
// serial programming chapter of the ATtiny26 datasheet.
//
// Rules the model follows, from the datasheet's tables and waveforms:
//  - Powered by 2.7-5.5 V on VCC with GND grounded (AVCC and AGND taken as tied to them).
//  - Serial programming needs RESET low: held low since power-up with SCK low, or given a positive
//    pulse after SCK went low. The Programming Enable instruction (0xAC 0x53 x x) is taken only
//    20 ms or more after that; a RESET pulse restarts the wait and the instruction framing.
//  - Instructions are four bytes, MSB first, sampled on SCK's rising edge; MISO changes on the
//    falling edge. In the third byte the chip shifts out the second byte it received (the echo
//    that shows the framing is in step); read instructions give their byte in the fourth.
//  - Writes are self-timed: a flash page 4.5 ms, an EEPROM byte 9 ms, the chip erase 9 ms, a fuse
//    or lock byte 4.5 ms. An instruction that arrives meanwhile is lost.
//  - Flash cells program by AND from the 16-word page buffer (the low byte must be loaded before
//    the high byte of a word); EEPROM bytes replace; the chip erase clears flash, EEPROM and lock
//    bits. LB1 programmed stops flash and EEPROM writes; LB1 and LB2 make flash and EEPROM read
//    0xFF. Lock bits only go from 1 to 0.
//  - RSTDISBL (fuse high bit 4) programmed turns RESET into a port pin: serial programming is no
//    longer possible.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct AvrSpiSheet {
  std::string name;
  int pins = 20, vcc = 5, ground = 6, mosi = 1, miso = 2, sck = 3, reset = 10;
  std::uint32_t flashBytes = 2048, flashPage = 32, eepromBytes = 128;
  std::array<std::uint8_t, 3> signature{};
  std::array<std::uint8_t, 4> calibration{};
  std::array<std::uint8_t, 2> fuseDefault{}, fuseMask{};
  double pageUs = 4500, eepromUs = 9000, eraseUs = 9000, fuseUs = 4500, enableUs = 20000;
};

class AvrSpiChip final : public ChipModel {
 public:
  explicit AvrSpiChip(AvrSpiSheet sheet);
  std::string Name() const override { return sheet_.name; }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.ground}; }
  int MaxMillivolts(int) const override { return 6000; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;
  // Models below 6300 and up alike take the chip with its pin 1 in socket pin 9.
  int SeatPin(int) const override { return 9; }

  const AvrSpiSheet& sheet() const { return sheet_; }
  std::vector<std::uint8_t> flash, eeprom;
  std::array<std::uint8_t, 2> fuses{};
  std::uint8_t lock = 0xFF;  // bit 0 LB1, bit 1 LB2
  int enables = 0, erases = 0, writes = 0, lost = 0;
  int refuseEnables = 0;  // Programming Enables the chip lets pass without an echo (a test's fault)

 private:
  int In(Programmer& p, int chipPin) const { return p.InputMillivolts(p.SocketPinOf(chipPin)); }
  void Instruction(double now);
  std::uint8_t Output(double now) const;
  bool Ready(double now) const;
  bool Busy(double now) const { return now < busyUntil_; }

  AvrSpiSheet sheet_;
  bool powered_ = false, resetLow_ = false, sckWas_ = false, enabled_ = false;
  double resetLowAt_ = 0, busyUntil_ = 0;
  std::array<std::uint8_t, 4> frame_{};
  int bits_ = 0;  // bits of the frame received
  std::uint8_t shiftOut_ = 0xFF;
  bool miso_ = true;
  std::vector<std::uint8_t> pageBuffer_;
};

// A model by part name ("ATtiny26"); nullptr for an unknown name.
std::shared_ptr<AvrSpiChip> MakeAvrSpi(std::string_view part);
std::string_view AvrSpiPartOf(std::string_view chipName);

}  // namespace zelvar::sim
