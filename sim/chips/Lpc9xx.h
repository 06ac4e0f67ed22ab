#pragma once
// NXP (Philips) LPC900 flash 8051s in their in-circuit programming (ICP) mode: the P89LPC932
// (28 pins, 8 KB, 64-byte pages) and the LPC901 (8 pins, 1 KB, 16-byte pages). The datasheets and
// user manuals give the pinouts (P89LPC932: RST/P1.5 pin 6, VSS 7, VDD 21, PCL/P0.5 22,
// PDA/P0.4 23; LPC901: VDD 1, RST 4, PCL 6, PDA 7, VSS 8), the supply (2.4 V to 3.6 V, port pins
// 5 V tolerant), the configuration area (UCFG1 at 0, boot vector 2, boot status 3, sector
// security bytes 8 to 15), the maker code 0x15 and the flash commands (load 0x00, program page
// 0x48, erase 0x72, configuration 0x6C). What they leave open the models fix as these rules:
// - Entry: VDD comes up with RST low; five or more RST pulses follow; the first PCL rising edge
//   with RST high starts ICP. RST low or VDD gone ends it.
// - Bytes go most significant bit first. The chip samples PDA on PCL rising edges; a byte whose
//   bit 0 is 0 is a register write and the next byte its value, one whose bit 0 is 1 a register
//   read: from the falling edge after its last bit the chip drives PDA with the register's bit 7,
//   and the next bit on each PCL falling edge, releasing it after the eighth.
// - Registers: 0x08 address low, 0x0A address high, 0x04 page-register load (at the address's
//   offset in the page, the address then steps), 0x0C data (a page-register load, or after 0x6C
//   the configuration byte at the address low byte is programmed), 0x0E the flash command, 0x0D
//   data read (after 0x80 the code byte at the address, after 0x6C the configuration byte at the
//   address low byte; the address steps), 0x0F status, 0x05 the blank-check result (two bytes,
//   the count of bytes not 0xFF, high first).
// - Flash commands: 0x00 clears the page register, 0x48 programs it into the page holding the
//   address (cell AND data; loaded bytes only), 0x72 erases the code and clears the security
//   bytes, 0x6C configuration access, 0x80 code read, 0x19 blank check of the 32 bytes from the
//   address. Program and erase keep the flash busy for 2 ms (the datasheets' program and erase
//   time); a command or data write that arrives while busy is refused and recorded.
// - Status: the P89LPC932 answers 0x80 while busy, else 0x00 (0x01 after a refused command); the
//   LPC901 acknowledges a command as it takes it: 0xF0 when it was accepted, 0x0F when refused.
// - The ID bytes at configuration addresses 16 to 18: 0x15 and the device bytes below (ours).
#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct Lpc9xxSheet {
  std::string_view name;
  int pins = 28;
  int vdd = 21, vss = 7, rst = 6, pcl = 22, pda = 23;
  std::uint32_t codeSize = 8192, pageSize = 64;
  bool busyStatus = true;  // status as the P89LPC932 gives it; false: the LPC901's acknowledge
  int seatBefore6300 = 0, seatFrom6300 = 0;  // socket pin of chip pin 1 as the pictures show
  std::array<std::uint8_t, 3> id{};
};

class Lpc9xxChip final : public ChipModel {
 public:
  explicit Lpc9xxChip(const Lpc9xxSheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.vss}; }
  int MaxMillivolts(int pin) const override { return pin == sheet_.vdd ? 4600 : 5500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;
  int SeatPin(int model) const override {
    return model >= 6300 ? sheet_.seatFrom6300 : sheet_.seatBefore6300;
  }

  std::vector<std::uint8_t> code;
  std::array<std::uint8_t, 19> config{};  // UCFG1, -, boot vector, status, -, security, ID
  bool inIcp = false;
  int erases = 0;
  int refused = 0;             // commands refused while busy
  bool stuckBusy = false;      // a fault: the flash never finishes
  int configWritesTaken = -1;  // a fault: configuration writes after this many fail (-1: none)

 private:
  int Level(const Programmer& p, int chipPin) const;
  void Byte(Programmer& p, std::uint8_t b);
  void WriteRegister(Programmer& p, std::uint8_t reg, std::uint8_t v);
  std::uint8_t ReadRegister(std::uint8_t reg);
  bool Busy(const Programmer& p) const { return p.clockUs() < busyUntil_; }
  void Refuse(Programmer& p);

  Lpc9xxSheet sheet_;
  bool powered_ = false, rstLowAtPowerUp_ = false;
  int rstPulses_ = 0, lastRst_ = 0, lastPcl_ = 0;
  // Byte framing: bits received, the register of a write waiting for its value, the byte sent.
  int bits_ = 0;
  std::uint8_t shift_ = 0;
  int writeReg_ = -1;
  bool byteDone_ = false;
  bool sending_ = false;
  int sendBit_ = 0;
  std::uint8_t out_ = 0;
  // Flash state.
  std::uint16_t address_ = 0;
  std::uint8_t command_ = 0xFF, status_ = 0;
  std::vector<std::uint8_t> page_;
  std::vector<bool> loaded_;
  std::uint16_t checkResult_ = 0;
  int checkByte_ = 0;
  double busyUntil_ = 0;
  int configWrites_ = 0;
};

// "P89LPC932" or "LPC901" when `chipName` names one, else "".
std::string_view Lpc9xxPartOf(std::string_view chipName);
std::shared_ptr<Lpc9xxChip> MakeLpc9xx(std::string_view part);

}  // namespace zelvar::sim
