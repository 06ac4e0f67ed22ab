#pragma once
// "ATMEGA48": the ATmega48, ATmega88 and ATmega168 in the 28-pin DIP, by the high-voltage parallel
// engine on the "atmega8dip28" design. The chip sits with its pin 1 in socket pin 7.
#include <array>

#include "algorithms/avr/HvParallelEngine.h"

namespace zelvar::avr {

class ATMEGA48 final : public HvParallelSet {
 public:
  static constexpr std::array<AvrType, 4> kTypes = {{
      {.name = "Exit"},
      {.name = "1: ATmega48-PDIP28 2kx16",
       .vppPin = 7,
       .vccPin = 13,
       .groundPin = 14,
       .codeLast = 0x0FFF,
       .eepromLast = 0x0FF,
       .eepromPage = 4,
       .flashPage = 64,
       .contactMask = SocketPins(7, 34)},
      {.name = "2: ATmega88-PDIP28 4kx16",
       .vppPin = 7,
       .vccPin = 13,
       .groundPin = 14,
       .codeLast = 0x1FFF,
       .eepromLast = 0x1FF,
       .eepromPage = 4,
       .flashPage = 64,
       .contactMask = SocketPins(7, 34)},
      {.name = "3: ATmega168-PDIP28 8kx16",
       .vppPin = 7,
       .vccPin = 13,
       .groundPin = 14,
       .codeLast = 0x3FFF,
       .eepromLast = 0x1FF,
       .eepromPage = 4,
       .flashPage = 128,
       .contactMask = SocketPins(7, 34)},
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
                                              "8 MHz",
                                              "$Gridw:Address",
                                              "Calibrate Addr",
                                              "0000",
                                              "$end"};
  static constexpr const char* kConfig[] = {
      "0: (只有一种类型)",        "n=LB1,v=1,a=3,b=0",        "n=LB2,v=1,a=3,b=1",
      "n=BLB01,v=1,a=3,b=2",      "n=BLB02,v=1,a=3,b=3",      "n=BLB11,v=1,a=3,b=4",
      "n=BLB12,v=1,a=3,b=5",      "n=CKSEL0,v=0,a=0,b=0",     "n=CKSEL1,v=1,a=0,b=1",
      "n=CKSEL2,v=0,a=0,b=2",     "n=CKSEL3,v=0,a=0,b=3",     "n=SUT0,v=0,a=0,b=4",
      "n=SUT1,v=1,a=0,b=5",       "n=CKOUT,v=1,a=0,b=6",      "n=CKDIV8,v=0,a=0,b=7",
      "n=BOTLEVELR0,v=1,a=1,b=0", "n=BOTLEVELR1,v=1,a=1,b=1", "n=BOTLEVELR2,v=1,a=1,b=2",
      "n=EESAVE,v=1,a=1,b=3",     "n=WDTON,v=1,a=1,b=4",      "n=SPIEN,v=0,a=1,b=5",
      "n=DWEN,v=1,a=1,b=6",       "n=RSTDISBL,v=1,a=1,b=7",   "n=BOOTRST,v=1,a=2,b=0",
      "n=BOOTSZ0,v=1,a=2,b=1",    "n=BOOTSZ1,v=1,a=2,b=2",    "$end"};
  static constexpr int kOperations[] = {
      kOpErase, kOpBlank,  kOpWrite,      kOpVerify,          kOpConfig,   kOpLock,
      kOpRead,  kOpReadId, kOpReadConfig, kOpReadCalibration, kOpReadData, kOpWriteData};

 private:
  static constexpr HvParallelPolicy kPolicy{.vccWindowEntry = true};

  const AvrType& Type() const override { return ChosenRow(kTypes); }
  const HvParallelPolicy& Policy() const override { return kPolicy; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOperations; }

  void Init() override;
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

  bool WriteFuses(std::uint8_t low, std::uint8_t high, std::uint8_t extended);
};

}  // namespace zelvar::avr
