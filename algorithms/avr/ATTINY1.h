#pragma once
// "ATTINY1": the ATtiny11, ATtiny12 and ATtiny15 by high-voltage serial programming. Rows 1-3 seat
// the chip from socket pin 11, rows 11-13 (models 6300 and up) from socket pin 17; rows 4-10 are
// gaps the set refuses.
#include <array>

#include "algorithms/avr/HvSerialEngine.h"

namespace zelvar::avr {

namespace hvsp {
// The two seats of an 8-pin chip: RESET, VCC and GND pins and the contact mask.
inline constexpr AvrType kSeat11{.name = "",
                                 .vppPin = 11,
                                 .vccPin = 30,
                                 .groundPin = 14,
                                 .flashPage = 2,
                                 .contactMask = SocketPins(11, 14) | SocketPins(27, 30),
                                 .waitTicks = 4};
inline constexpr AvrType kSeat17{.name = "",
                                 .vppPin = 17,
                                 .vccPin = 24,
                                 .groundPin = 20,
                                 .flashPage = 2,
                                 .contactMask = SocketPins(17, 24),
                                 .waitTicks = 4};

// A row of `seat` with its caption, design, sizes and instruction waits.
constexpr AvrType Row(const AvrType& seat, std::string_view name, const char* bitstream,
                      std::uint32_t codeLast, std::uint32_t eepromLast,
                      std::uint8_t instructionWaits = 0) {
  AvrType t = seat;
  t.name = name;
  t.bitstream = bitstream;
  t.codeLast = codeLast;
  t.eepromLast = eepromLast;
  t.instructionWaits = instructionWaits;
  return t;
}
// The ATtiny11 has no data EEPROM: its rows offer none, so that WrData cannot pass on nothing.
constexpr AvrType NoEeprom(AvrType t) {
  t.hasEeprom = false;
  return t;
}
}  // namespace hvsp

class ATTINY1 final : public HvSerialSet {
 public:
  static constexpr std::array<AvrType, 14> kTypes = {{
      {.name = "Exit"},
      hvsp::NoEeprom(hvsp::Row(hvsp::kSeat11, "1: ATiny11", "Atiny12.bit", 0x3FF, 0)),
      hvsp::Row(hvsp::kSeat11, "2: ATiny12", "Atiny12.bit", 0x3FF, 0x3F),
      hvsp::Row(hvsp::kSeat11, "3: ATiny15", "Atiny15.bit", 0x3FF, 0x3F, 2),
      {},
      {},
      {},
      {},
      {},
      {},
      {.name = "Exit"},
      hvsp::NoEeprom(hvsp::Row(hvsp::kSeat17, "1: ATiny11", "Atiny12std.bit", 0x3FF, 0)),
      hvsp::Row(hvsp::kSeat17, "2: ATiny12", "Atiny12std.bit", 0x3FF, 0x3F),
      hvsp::Row(hvsp::kSeat17, "3: ATiny15", "Atiny15std.bit", 0x3FF, 0x3F, 2),
  }};

  static constexpr const char* kDescribe[] = {
      "$Fonc:",    "30 RdCalibrate", "21 Erase",        "22 Blank",    "23 Write",
      "24 Verify", "32 WrData",      "25 WrFuse",       "26 Security", "$DisTool:",
      "",          "$Gridw:Option",  "Calibreate addr", "0000",        "$end"};
  static constexpr const char* kConfig[] = {
      "0: (只有一种类型)",    "n=LB1,v=1,a=1,b=1",        "n=LB2,v=1,a=1,b=2",
      "n=CKSEL0,v=1,a=0,b=0", "n=CKSEL1,v=1,a=0,b=1",     "n=CKSEL2,v=1,a=0,b=2",
      "n=CKSEL3,v=1,a=0,b=3", "n=RSTDISABLE,v=1,a=0,b=4", "n=SPIEN,v=1,a=0,b=5",
      "n=BODEN,v=1,a=0,b=6",  "n=BODLEVER,v=1,a=0,b=7",   "$end"};
  static constexpr int kOperations[] = {
      kOpErase, kOpBlank,  kOpWrite,      kOpVerify,          kOpConfig,   kOpLock,
      kOpRead,  kOpReadId, kOpReadConfig, kOpReadCalibration, kOpReadData, kOpWriteData};

 private:
  const AvrType& Type() const override { return ChosenRow(kTypes); }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOperations; }
  void Init() override { SetUpSerial(kTypes); }
};

}  // namespace zelvar::avr
