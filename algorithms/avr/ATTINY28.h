#pragma once
// "ATTINY28": the ATtiny28L/V in the 28-pin DIP (pin 1 in socket pin 7; its pin 21 is not
// connected) by the word-write engine on "atmega8dip28.bit": flash only (no EEPROM), one fuse byte
// in OptionValues word 0, one calibration byte, and the lock mode by a radio (word 128) so that
// Security no longer programs both lock bits whatever the user wants.
#include <array>

#include "algorithms/avr/HvWordEngine.h"

namespace zelvar::avr {

class ATTINY28 final : public HvWordSet {
 public:
  static constexpr std::array<AvrType, 2> kTypes = {{
      {.name = "Exit"},
      {.name = "1: ATINY28L/V",
       .bitstream = "atmega8dip28.bit",
       .vppPin = 7,
       .vccPin = 13,
       .groundPin = 14,
       .codeLast = 0x7FF,
       .contactMask = SocketPins(7, 26) | SocketPins(28, 34),
       .hasEeprom = false},
  }};

  static constexpr const char* kDescribe[] = {"$Fonc:",
                                              "30 RdCalibrate",
                                              "21 Erase",
                                              "22 Blank",
                                              "23 Write",
                                              "24 Verify",
                                              "25 WrFuse",
                                              "26 Security",
                                              "$DisTool:",
                                              "31,",
                                              "$Radio1:00,Lock mode",
                                              "Lock(加密)",
                                              "No write(禁止再写)",
                                              "$Gridw:Option",
                                              "Calibrate addr",
                                              "0000",
                                              "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                            "n=CKSEL0,v=1,a=0,b=0",
                                            "n=CKSEL1,v=1,a=0,b=1",
                                            "n=CKSEL2,v=1,a=0,b=2",
                                            "n=CKSEL3,v=1,a=0,b=3",
                                            "n=INTCAP,v=1,a=0,b=4",
                                            "$end"};
  static constexpr int kOperations[] = {kOpErase,      kOpBlank,          kOpWrite, kOpVerify,
                                        kOpConfig,     kOpLock,           kOpRead,  kOpReadId,
                                        kOpReadConfig, kOpReadCalibration};

 private:
  static constexpr HvParallelPolicy kPolicy{.settleBeforeDirection = true};

  const AvrType& Type() const override { return ChosenRow(kTypes); }
  const HvParallelPolicy& Policy() const override { return kPolicy; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOperations; }

  void Init() override { SetUp(kTypes.size(), Type().bitstream, "", 5000); }
  bool Enter() override {
    SelectGndPin(Type().groundPin);
    SelectVccPin(Type().vccPin);
    EnterAfterPower();
    return true;
  }
  // Radio 0 programs both lock bits, radio 1 LB1 only (no further writes).
  int LockByteOfRadio(std::uint32_t radio) const override {
    return radio == 0 ? 0x00 : radio == 1 ? 0x04 : -1;
  }
  int RadioOfLock(bool lb1, bool lb2) const override {
    if (lb1) return -1;
    return lb2 ? 1 : 0;
  }
  void ReadCalibration() override {
    // One calibration byte, at address 0.
    const std::uint8_t c = ReadCalibrationByte(0);
    StoreCalibration(c, nullptr);
  }
};

}  // namespace zelvar::avr
