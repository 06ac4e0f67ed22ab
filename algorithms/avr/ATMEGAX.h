#pragma once
// "ATMEGAX": the ATmega8, ATmega16, ATmega32, ATmega64 and ATmega128 on the high-voltage parallel
// engine, the design chosen by the line's "pkg=". A row runs only in the package its chip has:
// the ATmega8 in the 28-pin DIP, the ATmega16/32 in the 40-pin DIP with the AT90S8535 pinout, the
// ATmega64/128 on their TQFP64 adapter (package 50, no contact test). Any other package would put
// 12 V and VCC on port pins, so it is refused. The AT90S8515 and AT90S8535 rows are refused too:
// those chips write a byte per WR pulse, not a page, and set "AT90S8515"/"AT90S8535" serves them.
#include <array>
#include <cstdint>

#include "algorithms/avr/HvParallelEngine.h"

namespace zelvar::avr {

class ATMEGAX final : public HvParallelSet {
 public:
  static constexpr std::array<AvrType, 8> kTypes = {{
      {.name = "Exit"},
      {.name = "1: ATmega8 4kx16",
       .vppPin = 7,
       .vccPin = 13,
       .groundPin = 14,
       .codeLast = 0x1FFF,
       .eepromLast = 0x1FF,
       .eepromPage = 4,
       .flashPage = 64,
       .contactMask = SocketPins(7, 34)},
      {.name = "2: ATmega16 8kx16",
       .vppPin = 29,
       .vccPin = 30,
       .groundPin = 31,
       .codeLast = 0x3FFF,
       .eepromLast = 0x1FF,
       .eepromPage = 4,
       .flashPage = 128,
       .contactMask = SocketPins(1, 40)},
      {.name = "3: ATmega32 16kx16",
       .vppPin = 29,
       .vccPin = 30,
       .groundPin = 31,
       .codeLast = 0x7FFF,
       .eepromLast = 0x3FF,
       .eepromPage = 4,
       .flashPage = 128,
       .contactMask = SocketPins(1, 40)},
      {.name = "4: ATmega64*TQFP 32kx16",
       .vppPin = 8,
       .vccPin = 42,
       .groundPin = 10,
       .codeLast = 0xFFFF,
       .eepromLast = 0x7FF,
       .eepromPage = 8,
       .flashPage = 256},
      {.name = "5: ATmega128*TQFP 64kx16",
       .vppPin = 8,
       .vccPin = 42,
       .groundPin = 10,
       .codeLast = 0x1FFFF,
       .eepromLast = 0xFFF,
       .eepromPage = 8,
       .flashPage = 256},
      {.name = "6: AT90S8515",
       .vppPin = 9,
       .vccPin = 40,
       .groundPin = 20,
       .codeLast = 0x1FFF,
       .eepromLast = 0x1FF,
       .eepromPage = 4,
       .flashPage = 64,
       .contactMask = SocketPins(1, 40)},
      {.name = "7: AT90S8535",
       .vppPin = 29,
       .vccPin = 30,
       .groundPin = 31,
       .codeLast = 0x1FFF,
       .eepromLast = 0x1FF,
       .eepromPage = 4,
       .flashPage = 64,
       .contactMask = SocketPins(1, 40)},
  }};

  // OptionValues words of the fuse and lock bytes.
  static constexpr int kFuseLowWord = 0, kFuseHighWord = 1, kLockWord = 2;

  static constexpr const char* kDescribe[] = {
      "$Fonc:",        "30 RdCalibrate", "21 Erase",  "22 Blank",
      "23 Write",      "24 Verify",      "32 WrData", "25 WrFuse",
      "26 Security",   "$DisTool:",      "",          "$Radio1:00,Calibrate Freq",
      "1 MHz",         "2 MHz",          "4 MHz",     "8 MHz",
      "$Gridw:Option", "Calibrate Addr", "0000",      "$end"};
  // The fuse high byte's bits 6 and 7 differ by chip: JTAGEN and OCDEN on the ATmega16/32,
  // WDTON and RSTDISBL on the others.
  static constexpr const char* kConfig[] = {
      "0: (只有一种类型)",     "n=LB1,v=1,a=2,b=0",      "n=LB2,v=1,a=2,b=1",
      "n=BLB01,v=1,a=2,b=2",   "n=BLB02,v=1,a=2,b=3",    "n=BLB11,v=1,a=2,b=4",
      "n=BLB12,v=1,a=2,b=5",   "n=CKSEL0,v=1,a=0,b=0",   "n=CKSEL1,v=0,a=0,b=1",
      "n=CKSEL2,v=0,a=0,b=2",  "n=CKSEL3,v=0,a=0,b=3",   "n=SUT0,v=0,a=0,b=4",
      "n=SUT1,v=1,a=0,b=5",    "n=BODEN,v=1,a=0,b=6",    "n=BODLEV,v=1,a=0,b=7",
      "n=BOOTRST,v=1,a=1,b=0", "n=BOOTSZ0,v=0,a=1,b=1",  "n=BOOTSZ1,v=0,a=1,b=2",
      "n=EESAVE,v=1,a=1,b=3",  "n=CKOPT,v=1,a=1,b=4",    "n=SPIEN,v=0,a=1,b=5",
      "n=WDTON,v=1,a=1,b=6",   "n=RSTDISBL,v=1,a=1,b=7", "$end"};
  static constexpr const char* kConfigJtag[] = {
      "0: (只有一种类型)",     "n=LB1,v=1,a=2,b=0",     "n=LB2,v=1,a=2,b=1",
      "n=BLB01,v=1,a=2,b=2",   "n=BLB02,v=1,a=2,b=3",   "n=BLB11,v=1,a=2,b=4",
      "n=BLB12,v=1,a=2,b=5",   "n=CKSEL0,v=1,a=0,b=0",  "n=CKSEL1,v=0,a=0,b=1",
      "n=CKSEL2,v=0,a=0,b=2",  "n=CKSEL3,v=0,a=0,b=3",  "n=SUT0,v=0,a=0,b=4",
      "n=SUT1,v=1,a=0,b=5",    "n=BODEN,v=1,a=0,b=6",   "n=BODLEV,v=1,a=0,b=7",
      "n=BOOTRST,v=1,a=1,b=0", "n=BOOTSZ0,v=0,a=1,b=1", "n=BOOTSZ1,v=0,a=1,b=2",
      "n=EESAVE,v=1,a=1,b=3",  "n=CKOPT,v=1,a=1,b=4",   "n=SPIEN,v=0,a=1,b=5",
      "n=JTAGEN,v=0,a=1,b=6",  "n=OCDEN,v=1,a=1,b=7",   "$end"};
  static constexpr int kOperations[] = {
      kOpErase, kOpBlank,  kOpWrite,      kOpVerify,          kOpConfig,   kOpLock,
      kOpRead,  kOpReadId, kOpReadConfig, kOpReadCalibration, kOpReadData, kOpWriteData};

 private:
  // Twelve ticks after a page's WR pulse: 15 ms, over the parts' 4.5 ms tWLRH_FLASH.
  static constexpr HvParallelPolicy kPolicy{.pageTicks = 12};

  const AvrType& Type() const override { return row_; }
  const HvParallelPolicy& Policy() const override { return kPolicy; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override;
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

  bool WriteFuses(std::uint8_t low, std::uint8_t high);

  AvrType row_{};
};

}  // namespace zelvar::avr
