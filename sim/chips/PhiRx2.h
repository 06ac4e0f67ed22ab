#pragma once
// Philips P89C51RA2/RB2/RC2/RD2 flash 80C51s in the parallel modes the "PHI89RX2", "PHI89NEW" and
// "P89C51RX2XX" sets drive; the P89C51BP..P89C58BP, P89C51RA+..RD+ and P89C51X2..P89C58X2 flash
// parts of "PHI89NEW" on the same table.
//
// From the datasheet: DIP40 80C51 pinout (P1 A0..A7, P2.0..P2.5 A8..A13 on 21..26, P3.4 A14 on
// 14, P3.5 A15 on 15, P0 the data on 39 down to 32, RST 9 high and PSEN 29 low in the programming
// modes, ALE/PROG 30 the strobe, EA/VPP 31), VCC 5 V on pin 40, ground pin 20; the flash programs
// bits from 1 to 0 and erases to 0xFF; manufacturer ID 0x15 and device ID 0xC2 first in the
// signature. Three security bits: bit 1 stops further programming, bit 2 also stops verify (code
// reads 0xFF), bit 3 stops external execution; a chip erase clears them. The status byte, boot
// vector and the 6-clock (X2) bit sit beside them.
//
// The datasheets (the RA2..RD2's and those of the BP, RA+ and X2 parts, which name a parallel
// mode with an 87C51-compatible interface for programmers) leave the mode table to the programmer
// makers, so the model accepts the set's sequences and nothing else (our rules); the other parts
// differ from the RA2..RD2 only in size and derivative byte:
//  - The mode is the levels of P2.6, P3.7, P3.1 and P3.0 (27, 17, 11, 10); P2.7 (28) and P3.3
//    (13) both low read, P2.7 high with P3.3 low programs. Reads: 0000 code, 1111 the signature
//    (bytes 0..2 of the block at address 0), 1011 security, status, vector and clock at 0..3.
//  - A PROG strobe (low, then high in the same mode, with EA at 4.5 V or more) in 0011 programs
//    the byte at the address (50 us to 5 ms; longer is a hazard: the cell is overstressed); in
//    0110 programs security bit 1..3 at address 0..2; in 1010 the status byte (address 0) or boot
//    vector (1); in 1101 with 0x80 at address 1 the 6-clock bit (clock byte bit 7 to 0). Strobes
//    of 10 ms or more in 0001 erase the chip (code and security bits) once they add up to 200 ms
//    (one long strobe or several shorter ones, unbroken by another strobe or a power-off): until
//    then every cell keeps its data. In 1000 a strobe of 10 ms or more erases the status byte
//    and boot vector.
//  - The third signature byte tells the derivative; its values are ours. The BP, RA+ and X2 parts
//    answer 15H and C2H as the RA2..RD2 do (theirs are not in the documents we have). The signature
//    space holds the three bytes twice: at 0..2 (manufacturer, device, derivative) and at 4..6
//    (derivative, manufacturer, device), where "PHI89NEW" reads them.
//  - A program strobe lasts at least 1 us ("PHI89NEW" strobes for a microsecond, "PHI89RX2" for
//    100 us).
//
// The parts named "...XX" (P89C51RA2XX..RD2XX) take the "P89C51RX2XX" table instead: the same
// pins and selects, the special bytes chosen by A14..A12 rather than the low address lines.
//  - Reads: 0000 code; 1111 the special bytes, A14..A12 = 0 status, 1 vector, 2 clock, 3
//    security, 4 derivative, 5 manufacturer, 6 device.
//  - Strobes: 0001 programs the code byte; 0111 (10 ms or more) erases the chip; 0010 programs
//    the special byte chosen by A14..A12 (0 status and 1 vector by the data, 2 the 6-clock bit,
//    3..5 security bits 1..3); 1001 (10 ms or more) erases status byte and boot vector. The chip
//    erase takes its 200 ms as on the other table.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

// The mode table a part takes.
enum class PhiTable { kRx2, kRx2xx };

class PhiRx2Chip final : public ChipModel {
 public:
  PhiRx2Chip(std::string name, std::uint32_t bytes, std::uint8_t derivative,
             PhiTable table = PhiTable::kRx2);

  std::string Name() const override { return name_; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int pin) const override { return pin == 31 ? 13000 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> cells;
  std::uint8_t security = 0xFF;  // bits 0..2: security bits 1..3, 0 when programmed
  std::uint8_t status = 0xFF, vector = 0xFC, clock = 0xFF;
  std::array<std::uint8_t, 3> signature;
  int erases = 0;
  int programmed = 0;  // bytes programmed

 private:
  int In(Programmer& p, int pin) const { return p.InputMillivolts(socket_[pin]); }
  int Mode(Programmer& p) const;
  std::uint32_t AddressNow(Programmer& p) const;
  std::uint8_t DataIn(Programmer& p) const;
  std::uint32_t RawAddress(Programmer& p) const;
  std::uint8_t ReadAt(int mode, std::uint32_t a) const;
  std::uint8_t ReadXX(int mode, std::uint32_t a) const;
  void Strobe(Programmer& p, double us);
  void StrobeXX(Programmer& p, double us);
  void ChipErase(double us);
  bool IsRead(int mode) const;

  std::string name_;
  PhiTable table_;
  std::vector<int> socket_;
  bool driving_ = false;
  std::uint8_t out_ = 0xFF;
  bool progWasLow_ = false;
  double lowSince_ = 0;
  int pulseMode_ = -1;
  std::uint32_t pulseAddress_ = 0;
  std::uint8_t pulseData_ = 0;
  double eraseUs_ = 0;  // chip-erase strobe time so far
};

// "P89C51RA2" .. "P89C51RD2", "P89C51BP" .. "P89C58BP", "P89C51RA+" .. "P89C51RD+", "P89C51X2"
// .. "P89C58X2", and "P89C51RA2XX" .. "P89C51RD2XX" on the "P89C51RX2XX" table; nullptr otherwise.
std::shared_ptr<PhiRx2Chip> MakePhiRx2(std::string_view part);
std::string_view PhiRx2PartOf(std::string_view chipName);

}  // namespace zelvar::sim
