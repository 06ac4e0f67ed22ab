#pragma once
// "P18FXX2": the older PIC18F flash parts (PIC18F452/252/458, PIC18F1220/1320, PIC18F2331/4331):
// 8-byte write blocks in single-panel mode, one-byte erase codes in 3C:00:04, the data EEPROM
// written after the unlock sequence and kept in the buffer from 0x4200, GOTO 100000h before the
// configuration bytes.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/pic/Pic18Set.h"

namespace zelvar::pic {

namespace p18fxx2 {
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
                                            "User.ID(用户信息)",
                                            "FFFF",
                                            "$Radio1:00,Erase(擦除方式)",
                                            "Chip(整片)",
                                            "EEPROM",
                                            "BOOT ",
                                            "Panel1",
                                            "Panel2",
                                            "Panel3",
                                            "Panel4",
                                            "$end"};
inline constexpr const char* kDescribeNoData[] = {"$Fonc:",        "21 Erase",
                                                  "22 Blank",      "23 Write",
                                                  "24 Verify",     "25 Config",
                                                  "$DisTool:",     "26,30,",
                                                  "$Gridw:Option", "User.ID(用户信息)",
                                                  "FFFF",          "$Radio1:00,Erase(擦除方式)",
                                                  "Chip(整片)",    "EEPROM",
                                                  "BOOT ",         "Panel1",
                                                  "Panel2",        "Panel3",
                                                  "Panel4",        "$end"};
inline constexpr const char* kConfig[] = {"0: No config",
                                          "n=FOSC0,v=1,a=1,b=0",
                                          "n=FOSC1,v=1,a=1,b=1",
                                          "n=FOSC2,v=1,a=1,b=2",
                                          "n=OSCEN,v=1,a=1,b=5",
                                          "n=PWRTE,v=1,a=2,b=0",
                                          "n=BOREN,l=1,v=1,a=2,b=1",
                                          "n=BORV2,v=1,a=2,b=2",
                                          "n=BORV1,v=1,a=2,b=3",
                                          "n=WDTEN,v=1,a=3,b=0,l=1",
                                          "n=WDTPS0,v=1,a=3,b=1",
                                          "n=WDTPS1,v=1,a=3,b=2",
                                          "n=WDTPS2,v=1,a=3,b=3",
                                          "n=CCP2MX*,v=1,a=5,b=0",
                                          "n=STVREN,v=1,a=6,b=0",
                                          "n=LVP,l=1,v=1,a=6,b=2",
                                          "n=BKBUG,v=1,a=6,b=7",
                                          "n=CP0,v=1,a=8,b=0",
                                          "n=CP1,v=1,a=8,b=1",
                                          "n=CP2,v=1,a=8,b=2",
                                          "n=CP3,v=1,a=8,b=3",
                                          "n=CPB,v=1,a=9,b=6",
                                          "n=CPD,v=1,a=9,b=7",
                                          "n=WRT0,v=1,a=10,b=0",
                                          "n=WRT1,v=1,a=10,b=1",
                                          "n=WRT2,v=1,a=10,b=2",
                                          "n=WRT3,v=1,a=10,b=3",
                                          "n=WRTC,v=1,a=11,b=5",
                                          "n=WRTB,v=1,a=11,b=6",
                                          "n=WRTD,v=1,a=11,b=7",
                                          "n=EBTR0,v=1,a=12,b=0",
                                          "n=EBTR1,v=1,a=12,b=1",
                                          "n=EBTR2,v=1,a=12,b=2",
                                          "n=EBTR3,v=1,a=12,b=3",
                                          "n=EBTRB,v=1,a=13,b=6",
                                          "$end"};
// The erase codes by "$Radio1" item: chip, EEPROM, boot block, panels 1-4.
inline constexpr std::uint16_t kEraseCodes[] = {0x80, 0x81, 0x83, 0x88, 0x89, 0x8A, 0x8B};
inline constexpr McuPackage kPackages[] = {
    {.pkg = 44,
     .bitstream = "pic18plcc44.bit",
     .vppPin = 22,
     .vccPin = 11,
     .groundPin = 10,
     .contactMask = PinBits({10, 11, 16, 19, 22}),
     .picture = "p44b.bmp"},
    {.pkg = 45,
     .bitstream = "pic18qfp44.bit",
     .vppPin = 22,
     .vccPin = 11,
     .groundPin = 10,
     .contactMask = PinBits({10, 11, 17, 20, 22}),
     .picture = "qfp44.bmp"},
    {40, "pic18dip40.bit", 1, 32, 31, SocketPins(1, 40)},
    {28, "pic18dip28.bit", 7, 26, 25, SocketPins(7, 34)},
    p18::kF2331,
    p18::kDip18,
};
inline constexpr Pic18Policy kPolicy{
    .newParts = false, .readVcc = 4400, .packages = kPackages, .eraseCodes = kEraseCodes};
}  // namespace p18fxx2

class P18FXX2 final : public Pic18Set {
 public:
  static constexpr int kFirstRow = 0;
  static constexpr std::array<McuType, 1> kTypes = {{{.name = "all"}}};
  static constexpr std::string_view kRequiredItems = "fla=";

 private:
  const Pic18Policy& Policy() const override { return p18fxx2::kPolicy; }
  std::span<const McuType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeListFull() const override { return p18fxx2::kDescribe; }
  std::span<const char* const> DescribeListNoData() const override {
    return p18fxx2::kDescribeNoData;
  }
  std::span<const char* const> ConfigTable() const override { return p18fxx2::kConfig; }
};

}  // namespace zelvar::pic
