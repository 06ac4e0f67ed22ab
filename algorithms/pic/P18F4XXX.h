#pragma once
// "P18F4XXX": the PIC18F2XXX/4XXX flash parts (PIC18F4550, PIC18F2550, PIC18F4620, PIC18F2321 ...):
// write buffers of "wbs=" bytes, the bulk-erase keys in 3C:00:05 and 3C:00:04, the data EEPROM
// behind the code (0x10000, or the byte after the code when that is larger). Config group 1 adds
// the USB parts' PLL and CPU divider byte (30:00:00).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/pic/Pic18Set.h"

namespace zelvar::pic {

namespace p18f4xxx {
inline constexpr const char* kDescribe[] = {"$Fonc:",
                                            "21 Erase",
                                            "22 Blank",
                                            "23 Write",
                                            "24 Verify",
                                            "32 WrData",
                                            "25 Config",
                                            "$DisTool:",
                                            "26,30,",
                                            "$Gridw:Option",
                                            "User.ID()",
                                            "FFFF",
                                            "$Radio1:00,Erase(擦除方式)",
                                            "Chip(整片)",
                                            "EEPROM",
                                            "BOOT",
                                            "Config",
                                            "EE Block0",
                                            "EE Block1",
                                            "EE Block2",
                                            "EE Block3",
                                            "EE Block4",
                                            "EE Block5",
                                            "$end"};
inline constexpr const char* kDescribeNoData[] = {
    "$Fonc:",        "21 Erase",  "22 Blank",  "23 Write",
    "24 Verify",     "25 Config", "$DisTool:", "26,30,",
    "$Gridw:Option", "User.ID()", "FFFF",      "$Radio1:00,Erase(擦除方式)",
    "Chip(整片)",    "EEPROM",    "BOOT",      "Config",
    "EE Block0",     "EE Block1", "EE Block2", "EE Block3",
    "EE Block4",     "EE Block5", "$end"};
inline constexpr const char* kConfig[] = {"0: ",
                                          "n=FOSC0,v=1,a=1,b=0",
                                          "n=FOSC1,v=1,a=1,b=1",
                                          "n=FOSC2,v=1,a=1,b=2",
                                          "n=FOSC3,v=1,a=1,b=3",
                                          "n=FCMEN,v=1,a=1,b=6",
                                          "n=IESO,v=1,a=1,b=7",
                                          "n=PWRTEN,v=1,a=2,b=0",
                                          "n=BOREN0,v=1,a=2,b=1",
                                          "n=BOREN1,v=1,a=2,b=2",
                                          "n=BORV0,v=1,a=2,b=3",
                                          "n=BORV1,v=1,a=2,b=4",
                                          "n=VREGEN(1,8),v=1,a=2,b=5",
                                          "n=WDTEN,v=1,a=3,b=0,l=1",
                                          "n=WDTPS0,v=1,a=3,b=1",
                                          "n=WDTPS1,v=1,a=3,b=2",
                                          "n=WDTPS2,v=1,a=3,b=3",
                                          "n=WDTPS3,v=1,a=3,b=4",
                                          "n=CCP2MX(7),v=1,a=5,b=0",
                                          "n=PBADEN,v=1,a=5,b=1",
                                          "n=LPT1OSC,v=1,a=5,b=2",
                                          "n=MCLRE,l=1,v=1,a=5,b=7",
                                          "n=STVREN,v=1,a=6,b=0",
                                          "n=LVP,l=1,v=1,a=6,b=2",
                                          "n=BBSIZ,v=1,a=6,b=3",
                                          "n=BBSIZ,v=1,a=6,b=4",
                                          "n=CPRT(8,v=1,a=6,b=5",
                                          "n=XINST,v=1,a=6,b=6",
                                          "n=DEBUG,v=1,a=6,b=7",
                                          "n=CP0,v=1,a=8,b=0",
                                          "n=CP1,v=1,a=8,b=1",
                                          "n=CP2,v=1,a=8,b=2",
                                          "n=CP3,v=1,a=8,b=3",
                                          "n=CP4,v=1,a=8,b=4",
                                          "n=CP5,v=1,a=8,b=5",
                                          "n=CPB,v=1,a=9,b=6",
                                          "n=CPD,v=1,a=9,b=7",
                                          "n=WRT0,v=1,a=10,b=0",
                                          "n=WRT1,v=1,a=10,b=1",
                                          "n=WRT2,v=1,a=10,b=2",
                                          "n=WRT3,v=1,a=10,b=3",
                                          "n=WRT4,v=1,a=10,b=4",
                                          "n=WRT5,v=1,a=10,b=5",
                                          "n=WRTC(5),v=1,a=11,b=5",
                                          "n=WRTB,v=1,a=11,b=6",
                                          "n=WRTD,v=1,a=11,b=7",
                                          "n=EBTR0,v=1,a=12,b=0",
                                          "n=EBTR1,v=1,a=12,b=1",
                                          "n=EBTR2,v=1,a=12,b=2",
                                          "n=EBTR3,v=1,a=12,b=3",
                                          "n=EBTR4,v=1,a=12,b=4",
                                          "n=EBTR5,v=1,a=12,b=5",
                                          "n=EBTRB,v=1,a=13,b=6",
                                          "1: ",
                                          "n=PLLDIV0,v=1,a=0,b=0",
                                          "n=PLLDIV1,v=1,a=0,b=1",
                                          "n=PLLDIV2,v=1,a=0,b=2",
                                          "n=CPUDIV0,v=1,a=0,b=3",
                                          "n=CPUDIV1,v=1,a=0,b=4",
                                          "n=USBDIV,v=1,a=0,b=5",
                                          "n=FOSC0,v=1,a=1,b=0",
                                          "n=FOSC1,v=1,a=1,b=1",
                                          "n=FOSC2,v=1,a=1,b=2",
                                          "n=FOSC3,v=1,a=1,b=3",
                                          "n=FCMEN,v=1,a=1,b=6",
                                          "n=IESO,v=1,a=1,b=7",
                                          "n=PWRTEN,v=1,a=2,b=0",
                                          "n=BOREN0,v=1,a=2,b=1",
                                          "n=BOREN1,v=1,a=2,b=2",
                                          "n=BORV0,v=1,a=2,b=3",
                                          "n=BORV1,v=1,a=2,b=4",
                                          "n=VREGEN(1,8),v=1,a=2,b=5",
                                          "n=WDTEN,v=1,a=3,b=0,l=1",
                                          "n=WDTPS0,v=1,a=3,b=1",
                                          "n=WDTPS1,v=1,a=3,b=2",
                                          "n=WDTPS2,v=1,a=3,b=3",
                                          "n=WDTPS3,v=1,a=3,b=4",
                                          "n=CCP2MX(7),v=1,a=5,b=0",
                                          "n=PBADEN,v=1,a=5,b=1",
                                          "n=LPT1OSC,v=1,a=5,b=2",
                                          "n=MCLRE,l=1,v=1,a=5,b=7",
                                          "n=STVREN,v=1,a=6,b=0",
                                          "n=LVP,l=1,v=1,a=6,b=2",
                                          "n=BBSIZ,v=1,a=6,b=3",
                                          "n=BBSIZ,v=1,a=6,b=4",
                                          "n=CPRT(8,v=1,a=6,b=5",
                                          "n=XINST,v=1,a=6,b=6",
                                          "n=DEBUG,v=1,a=6,b=7",
                                          "n=CP0,v=1,a=8,b=0",
                                          "n=CP1,v=1,a=8,b=1",
                                          "n=CP2,v=1,a=8,b=2",
                                          "n=CP3,v=1,a=8,b=3",
                                          "n=CP4,v=1,a=8,b=4",
                                          "n=CP5,v=1,a=8,b=5",
                                          "n=CPB,v=1,a=9,b=6",
                                          "n=CPD,v=1,a=9,b=7",
                                          "n=WRT0,v=1,a=10,b=0",
                                          "n=WRT1,v=1,a=10,b=1",
                                          "n=WRT2,v=1,a=10,b=2",
                                          "n=WRT3,v=1,a=10,b=3",
                                          "n=WRT4,v=1,a=10,b=4",
                                          "n=WRT5,v=1,a=10,b=5",
                                          "n=WRTC(5),v=1,a=11,b=5",
                                          "n=WRTB,v=1,a=11,b=6",
                                          "n=WRTD,v=1,a=11,b=7",
                                          "n=EBTR0,v=1,a=12,b=0",
                                          "n=EBTR1,v=1,a=12,b=1",
                                          "n=EBTR2,v=1,a=12,b=2",
                                          "n=EBTR3,v=1,a=12,b=3",
                                          "n=EBTR4,v=1,a=12,b=4",
                                          "n=EBTR5,v=1,a=12,b=5",
                                          "n=EBTRB,v=1,a=13,b=6",
                                          "$end"};
// The erase keys by "$Radio1" item: chip, EEPROM, boot block, configuration, code blocks 0-5.
inline constexpr std::uint16_t kEraseKeys[] = {0x3F8F, 0x0084, 0x0081, 0x0082, 0x0180,
                                               0x0280, 0x0480, 0x0880, 0x1080, 0x2080};
inline constexpr McuPackage kPackages[] = {
    p18::kPlcc44,
    p18::kQfp44,
    {40, "pic18dip40.bit", 1, 32, 31, PinBits({1, 31, 32, 38, 39})},
    {28, "pic18dip28.bit", 7, 26, 25, PinBits({7, 25, 26, 32, 33})},
    p18::kF2331,
    p18::kDip18,
};
inline constexpr Pic18Policy kPolicy{
    .newParts = true, .readVcc = 3300, .packages = kPackages, .eraseCodes = kEraseKeys};
}  // namespace p18f4xxx

class P18F4XXX final : public Pic18Set {
 public:
  static constexpr int kFirstRow = 0;
  static constexpr std::array<McuType, 1> kTypes = {{{.name = "all"}}};
  static constexpr std::string_view kRequiredItems = "fla= wbs=";

 private:
  const Pic18Policy& Policy() const override { return p18f4xxx::kPolicy; }
  std::span<const McuType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeListFull() const override { return p18f4xxx::kDescribe; }
  std::span<const char* const> DescribeListNoData() const override {
    return p18f4xxx::kDescribeNoData;
  }
  std::span<const char* const> ConfigTable() const override { return p18f4xxx::kConfig; }
};

}  // namespace zelvar::pic
