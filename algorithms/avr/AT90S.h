#pragma once
// "AT90S": the AT90S1200 and AT90S2313 (20-pin DIP, pin 1 in socket pin 11) on "zor5103.bit",
// their programming signals on socket pins (`AvrPinParallelSet`), the data on the design's 20-pin
// port (socket pins 22-29, the chips' PB0-PB7). Rows 3 and 4 (the 40-pin AT90S4414/8515) are
// refused: their data port is on socket pins 1-8, which that port does not reach; set
// "AT90S8515" serves them. One fuse byte in OptionValues word 0, the lock bits by the radio.
#include <array>

#include "algorithms/avr/AvrPinParallel.h"

namespace zelvar::avr {

class AT90S final : public AvrPinParallelSet {
 public:
  // RESET, RDY/BSY, OE, WR, BS, XA0, XA1 and XTAL1 of the 20-pin chips from socket pin 11, and of
  // the 40-pin chips.
  static constexpr AvrControlPins kDip20{
      .reset = 11, .rdy = 13, .oe = 16, .wr = 17, .bs = 18, .xa0 = 19, .xa1 = 21, .xtal1 = 15};
  static constexpr AvrControlPins kDip40{
      .reset = 9, .rdy = 11, .oe = 12, .wr = 13, .bs = 14, .xa0 = 15, .xa1 = 16, .xtal1 = 19};

  static constexpr std::array<AvrType, 5> kTypes = {{
      {.name = "Exit"},
      {.name = "1: AT90S1200",
       .vppPin = 11,
       .vccPin = 30,
       .groundPin = 20,
       .codeLast = 0x3FF,
       .eepromLast = 0x3F,
       .contactMask = SocketPins(11, 30),
       .control = kDip20},
      {.name = "2: AT90S2312",
       .vppPin = 11,
       .vccPin = 30,
       .groundPin = 20,
       .codeLast = 0x7FF,
       .eepromLast = 0x7F,
       .contactMask = SocketPins(11, 30),
       .control = kDip20},
      {.name = "2: AT90S4414",
       .vppPin = 9,
       .vccPin = 40,
       .groundPin = 20,
       .codeLast = 0xFFF,
       .eepromLast = 0xFF,
       .contactMask = SocketPins(1, 40),
       .control = kDip40},
      {.name = "2: AT90S8515",
       .vppPin = 9,
       .vccPin = 40,
       .groundPin = 20,
       .codeLast = 0x1FFF,
       .eepromLast = 0x1FF,
       .contactMask = SocketPins(1, 40),
       .control = kDip40},
  }};

  static constexpr const char* kDescribe[] = {"$Fonc:",
                                              "21 Erase",
                                              "22 Blank",
                                              "23 Write",
                                              "24 Verify",
                                              "32 WrData",
                                              "25 WrFuse",
                                              "26 Security",
                                              "$DisTool:",
                                              "28,30,",
                                              "$Radio1:00,Lock mode",
                                              "No read(禁止读写)",
                                              "No Write(禁止写)",
                                              "No used(无效)",
                                              "No lock(不加密)",
                                              "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=RCEN(内部震荡),v=1,a=0,b=0",
                                            "n=ISP(在线装载),v=1,a=0,b=5", "$end"};
  static constexpr int kOperations[] = {kOpErase,    kOpBlank,    kOpWrite,      kOpVerify,
                                        kOpConfig,   kOpLock,     kOpReadConfig, kOpRead,
                                        kOpReadData, kOpWriteData};

 private:
  const AvrType& Type() const override { return ChosenRow(kTypes); }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOperations; }

  void Init() override {
    const bool wide = gApp.TypeIndex == 3 || gApp.TypeIndex == 4;
    SetUp(kTypes.size(), wide ? nullptr : "zor5103.bit",
          "AT90S4414/8515: use set AT90S8515*请用AT90S8515算法", 5000);
  }
  // The radio's four items: LB1 and LB2 (data bits 1 and 2) as the items name them.
  int LockByteOfRadio(std::uint32_t radio) const override {
    constexpr int kLock[] = {0x00, 0x04, 0x02, 0x06};
    return radio < 4 ? kLock[radio] : -1;
  }
  int RadioOfLock(bool lb1, bool lb2) const override { return (lb1 ? 2 : 0) | (lb2 ? 1 : 0); }
  bool FuseReadBs() const override { return true; }
  const char* FuseLogFormat() const override { return "Config=%02x"; }
};

}  // namespace zelvar::avr
