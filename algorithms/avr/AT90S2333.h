#pragma once
// "AT90S2333": the AT90S2333 and AT90S4433 in the 28-pin DIP (pin 1 in socket pin 7) by the
// word-write engine on "atmega8dip28.bit", with the clock-line check before every entry. Row 3
// (the ATmega8) is refused: that chip writes its flash through a page buffer and has another fuse
// layout; set "ATMEGAX" serves it. One fuse byte in OptionValues word 0, the lock mode by the
// radio (word 128).
#include <array>

#include "algorithms/avr/HvWordEngine.h"

namespace zelvar::avr {

class AT90S2333 final : public HvWordSet {
 public:
  static constexpr std::array<AvrType, 4> kTypes = {{
      {.name = "Exit"},
      {.name = "1: AT90S2333",
       .bitstream = "atmega8dip28.bit",
       .vppPin = 7,
       .vccPin = 13,
       .groundPin = 14,
       .codeLast = 0x7FF,
       .eepromLast = 0x7F,
       .contactMask = SocketPins(7, 34)},
      {.name = "2: AT90S4433",
       .bitstream = "atmega8dip28.bit",
       .vppPin = 7,
       .vccPin = 13,
       .groundPin = 14,
       .codeLast = 0xFFF,
       .eepromLast = 0xFF,
       .contactMask = SocketPins(7, 34)},
      {.name = "3: ATmega8",
       .vppPin = 7,
       .vccPin = 13,
       .groundPin = 14,
       .codeLast = 0x1FFF,
       .eepromLast = 0x1FF,
       .contactMask = SocketPins(7, 34)},
  }};

  static constexpr const char* kDescribe[] = {
      "$Fonc:",    "21 Erase",    "22 Blank",  "23 Write", "24 Verify",           "32 WrData",
      "25 WrFuse", "26 Security", "$DisTool:", "30,",      "$Radio1:00,加密方式", "禁止读写(加密) ",
      "禁止再写",  "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)",    "n=CKSEL0,v=1,a=0,b=0",
                                            "n=CKSEL1,v=1,a=0,b=1", "n=CKSEL2,v=1,a=0,b=2",
                                            "n=BODEN,v=1,a=0,b=3",  "n=BODLEVER,v=1,a=0,b=4",
                                            "n=SPIEN,v=1,a=0,b=5",  "$end"};
  static constexpr int kOperations[] = {kOpErase,      kOpBlank,    kOpWrite,    kOpVerify,
                                        kOpConfig,     kOpLock,     kOpRead,     kOpReadId,
                                        kOpReadConfig, kOpReadData, kOpWriteData};

 private:
  static constexpr HvParallelPolicy kPolicy{.settleBeforeDirection = true};

  const AvrType& Type() const override { return ChosenRow(kTypes); }
  const HvParallelPolicy& Policy() const override { return kPolicy; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOperations; }

  void Init() override {
    SetUp(kTypes.size(), Type().bitstream, "ATmega8: use set ATMEGAX*ATmega8请用ATMEGAX算法", 5000);
  }
  bool Enter() override { return EnterClocked(); }
  // Radio 0 programs both lock bits, radio 1 LB1 only (no further writes).
  int LockByteOfRadio(std::uint32_t radio) const override {
    return radio == 0 ? 0x00 : radio == 1 ? 0x04 : -1;
  }
  int RadioOfLock(bool lb1, bool lb2) const override {
    if (lb1) return -1;
    return lb2 ? 1 : 0;
  }
};

}  // namespace zelvar::avr
