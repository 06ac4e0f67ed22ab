#pragma once
// SN8P OTP microcontrollers: the SN8P1602 (18-pin DIP: P1.2 1, P1.3 2, P0.0 3, RST/VPP 4, VSS 5,
// P2.0-P2.7 6-13, VDD 14, XOUT 15, XIN 16, P1.0 17, P1.1 18) and the SN8P2602A (18-pin DIP with
// RST/VPP on 4, VSS 5, VDD 14). Program memory: 16-bit OTP words, blank 0xFFFF, a bit only goes
// from 1 to 0. The programming protocols are not published; each model is the smallest chip
// that accepts the SN8P sets' sequences, by these rules.
//
// SN8P1602 (parallel):
// - Powered: 4.0 V to 5.5 V on VDD with VSS grounded; RST/VPP takes up to 13.5 V.
// - RST/VPP rising to 11.5 V or more while powered and P0.0 high enters the mode at byte 0 of
//   program memory (bytes in the order the chip returns them: even byte first).
// - A rising edge of P1.0 steps to the next byte; on a word-mode part ("hls=" non-zero in its
//   line) to the next word.
// - While P1.1 is low the chip drives the current byte on P2 (word mode: the even byte while P1.3
//   is low, the odd byte while it is high).
// - Word mode: a falling edge of P1.3 latches P2 as the even byte, a rising edge as the odd one.
// - P1.2 low for at least 300 us, then high, programs: the byte on P2 into the current byte, or
//   on a word-mode part the two latched bytes into the current word. A shorter pulse programs
//   nothing and is counted.
//
// SN8P2602A (serial; SDI chip pin 6, SCLK 7, SDO/PGM 8):
// - Powered: 4.0 V to 5.5 V; the mode is entered when VPP reaches 11.5 V after VDD. The first 64
//   SCLK rising edges then carry a key, SDI one bit and SDO/PGM another at each edge, most
//   significant first, eight bytes each: SDI 105, 150, 150, 105, 150, 105, 105, then 151 for
//   reading or 150 for programming; SDO/PGM 106, 149, 149, 106, 149, 106, 106, 148. Any other key
//   leaves the chip out of the mode.
// - Every address or data bit comes twice on SDI (two edges, the same level): a 16-bit value takes
//   32 edges, most significant bit first. Unequal halves are counted.
// - Reading: the first 32 edges after the key answer the ID in two 16-edge slots (8 edges quiet,
//   then 8 edges driving a byte on SDO, most significant first: the high byte, then the low);
//   the next 32 edges are ignored. Then each word takes an address (32 edges) and is answered in
//   two slots the same way.
// - Programming: each word takes an address and its data (32 edges each); SDO/PGM high for at
//   least 300 us, then low, programs it.
#include <memory>
#include <string_view>
#include <vector>

#include "sim/chips/LineChip.h"

namespace zelvar::sim {

class Sn8p1602Chip final : public LineChip {
 public:
  Sn8p1602Chip(std::string_view name, int words, bool wordMode);
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> code;  // two bytes a word, in the chip's order
  int shortPulses = 0;

 private:
  bool wordMode_;
  bool inMode_ = false;
  int at_ = 0;  // byte (word mode: even byte) of the current cell
  int lastStep_ = 1, lastLatch_ = 1, lastPgm_ = 1;
  double pgmStart_ = 0;
  std::uint8_t even_ = 0xFF, odd_ = 0xFF;
  int driving_ = -1;  // byte offset driven on P2, -1 none
};

class Sn8p2602Chip final : public LineChip {
 public:
  Sn8p2602Chip(std::string_view name, int words, std::uint16_t id);
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint16_t> code;
  std::uint16_t id;
  int unequalHalves = 0, shortPulses = 0;

 private:
  enum class Mode { kOff, kKey, kRead, kProgram };
  void Edge(int sdi, int sdo);
  Mode mode_ = Mode::kOff;
  bool wasHigh_ = false;
  int lastClock_ = 0, lastPgm_ = 0;
  long edges_ = 0;  // SCLK rising edges since the mode began
  std::uint64_t keyIn_ = 0, keyOut_ = 0;
  int firstHalf_ = 0;
  std::uint16_t address_ = 0, data_ = 0;
  double pgmStart_ = 0;
  int out_ = -1;
};

std::string_view Sn8pPartOf(std::string_view chipName);
std::shared_ptr<ChipModel> MakeSn8p(std::string_view part);

}  // namespace zelvar::sim
