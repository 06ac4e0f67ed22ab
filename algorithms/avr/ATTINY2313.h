#pragma once
// "ATTINY2313": the ATtiny2313 in the 20-pin DIP (pin 1 in socket pin 11) by the high-voltage
// parallel engine on "Atiny2313dip20.bit". The chip has too few pins for the full set of lines:
// PAGEL shares line 4 with BS1 and BS2 shares line 6 with XA1, which the policy names.
#include <array>

#include "algorithms/avr/HvParallelEngine.h"

namespace zelvar::avr {

class ATTINY2313 final : public HvParallelSet {
 public:
  static constexpr std::array<AvrType, 2> kTypes = {{
      {.name = "Exit"},
      {.name = "1: Atiny2313",
       .bitstream = "Atiny2313dip20.bit",
       .vppPin = 11,
       .vccPin = 30,
       .groundPin = 20,
       .codeLast = 0x07FF,
       .eepromLast = 0x7F,
       .eepromPage = 4,
       .flashPage = 32,
       .contactMask = SocketPins(11, 30)},
  }};

  // OptionValues words of the fuse and lock bytes.
  static constexpr int kFuseLowWord = 0, kFuseHighWord = 1, kFuseExtWord = 2, kLockWord = 3;

  static constexpr const char* kDescribe[] = {"$Fonc:",
                                              "30 RdCalibrate",
                                              "21 Erase",
                                              "22 Blank",
                                              "23 Write",
                                              "24 Verify",
                                              "32 WrData",
                                              "25 WrFuse",
                                              "26 Security",
                                              "$DisTool:",
                                              "",
                                              "$Radio1:00,Calibrate freq",
                                              "4 MHz",
                                              "8 MHz",
                                              "$Gridw:Option",
                                              "Calibrate Addr",
                                              "0000",
                                              "$end"};
  static constexpr const char* kConfig[] = {
      "0: (只有一种类型)",        "n=LB1,v=1,a=3,b=0",        "n=LB2,v=1,a=3,b=1",
      "n=CKSEL0,v=0,a=0,b=0",     "n=CKSEL1,v=0,a=0,b=1",     "n=CKSEL2,v=1,a=0,b=2",
      "n=CKSEL3,v=0,a=0,b=3",     "n=SUT0,v=0,a=0,b=4",       "n=SUT1,v=1,a=0,b=5",
      "n=CKOUT,v=1,a=0,b=6",      "n=CKDIV8,v=0,a=0,b=7",     "n=RSTDISBL,v=1,a=1,b=0",
      "n=BOTLEVELR0,v=1,a=1,b=1", "n=BOTLEVELR1,v=1,a=1,b=2", "n=BOTLEVELR2,v=1,a=1,b=3",
      "n=WDTON,v=1,a=1,b=4",      "n=SPIEN,v=0,a=1,b=5",      "n=EESAVE,v=1,a=1,b=6",
      "n=DWEN,v=1,a=1,b=7",       "n=SELFPRGEN,v=1,a=2,b=0",  "$end"};
  static constexpr int kOperations[] = {
      kOpErase, kOpBlank,  kOpWrite,      kOpVerify,          kOpConfig,   kOpLock,
      kOpRead,  kOpReadId, kOpReadConfig, kOpReadCalibration, kOpReadData, kOpWriteData};

 private:
  // The datasheet's entry: 12 V on RESET 20-60 µs after VCC, no XTAL1 pulses.
  static constexpr HvParallelPolicy kPolicy{.vccWindowEntry = true,
                                            .bs2Line = avr_parallel::kLineXa1,
                                            .pagelLine = avr_parallel::kLineBs1};

  const AvrType& Type() const override { return ChosenRow(kTypes); }
  const HvParallelPolicy& Policy() const override { return kPolicy; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOperations; }

  void Init() override { SetUp(kTypes.size(), Type().bitstream, "", 5000); }
  void Erase() override;
  void Blank() override { ScanFlash(Scan::Blank); }
  void Write() override { WriteFlashPages(); }
  void Verify() override { ScanFlash(Scan::Verify); }
  void Read() override { ScanFlash(Scan::Read); }
  void Config() override;
  void Lock() override;
  void ReadId() override;
  void ReadConfig() override;
  void ReadCalibration() override;
  void ReadData() override { ReadEeprom(); }
  void WriteData() override { WriteEepromPages(); }
};

}  // namespace zelvar::avr
