#pragma once
// "ATTINY2": the ATtiny26 by serial programming (RESET low, no 12 V) on the serial engine. "pkg=20"
// seats the chip with its pin 1 in socket pin 9 ("ATdip20spi.bit"); "pkg=40" uses the 40-pin
// position's design ("ATmeg161spi.bit", VCC 40, GND 20, no contact test). Any other package has no
// design and is refused. Fuse low in OptionValues word 0, high in word 1, lock bits in word 3.
#include <array>

#include "algorithms/avr/SpiEngine.h"

namespace zelvar::avr {

class ATTINY2 final : public SpiSet {
 public:
  static constexpr std::array<AvrType, 2> kTypes = {{
      {.name = "Exit"},
      {.name = "1: ATINY26 1kx16",
       .vppPin = 18,  // RESET, held low: no 12 V is applied
       .vccPin = 13,
       .groundPin = 14,
       .codeLast = 2047,
       .eepromLast = 127,
       .flashPage = 32,
       .contactMask = SocketPins(9, 18) | SocketPins(23, 32),
       .waitTicks = 6},
  }};

  static constexpr const char* kDescribe[] = {
      "$Fonc:",        "21 Erase",       "22 Blank",    "23 Write",  "24 Verify",
      "32 WrData",     "25 WrFuse",      "26 Security", "$DisTool:", "",
      "$Gridw:Option", "Calibrate addr", "0000",        "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                            "n=LB1,v=1,a=3,b=0",
                                            "n=LB2,v=1,a=3,b=1",
                                            "n=CKSEL0,v=1,a=0,b=0",
                                            "n=CKSEL1,v=0,a=0,b=1",
                                            "n=CKSEL2,v=0,a=0,b=2",
                                            "n=CKSEL3,v=0,a=0,b=3",
                                            "n=SUT0,v=0,a=0,b=4",
                                            "n=SUT1,v=1,a=0,b=5",
                                            "n=CKOPT,v=1,a=0,b=6",
                                            "n=PLLCK,v=1,a=0,b=7",
                                            "n=BODEN,v=1,a=1,b=0",
                                            "n=BODLEVER,v=1,a=1,b=1",
                                            "n=EESAVE,v=1,a=1,b=2",
                                            "n=SPIEN,v=0,a=1,b=3",
                                            "n=RSTDIS,v=1,a=1,b=4",
                                            "$end"};
  static constexpr int kOperations[] = {
      kOpErase, kOpBlank,  kOpWrite,      kOpVerify,          kOpConfig,   kOpLock,
      kOpRead,  kOpReadId, kOpReadConfig, kOpReadCalibration, kOpReadData, kOpWriteData};

 private:
  const AvrType& Type() const override { return row_; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOperations; }
  void Init() override;

  AvrType row_{};
};

}  // namespace zelvar::avr
