#pragma once
// "PIC12F6XX": the 8- and 14-pin flash PICs with internal oscillator (PIC12F629/675 and their
// relatives) by ICSP, VPP before VDD with the ground selected at set-up, plain command codes.
// The last program word holds the factory oscillator calibration (a RETLW) and configuration
// bits 12 and 13 the band-gap calibration: Write, Blank and Verify leave the last word to the
// chip, Blank checks configuration bits 0-8 only, Erase (scope by "$Radio1") saves both, checked,
// and writes them back, and Config keeps the chip's band-gap bits and reads the word back.
// Packages: 40, 28, 18, the 14-pin seat, 8; the 20-pin part turned in the 14-pin seat below
// model 6300 (refused on 6300 and up, whose seat has no wiring for it).
#include "algorithms/pic/Flash14.h"

namespace zelvar::pic {

namespace pic12f6xx {
inline constexpr IcspPolicy kPolicy{.codes = kPlainCodes,
                                    .powerUp = PowerUp::kVppFirstGroundAtSetup,
                                    .typeCheck = true,
                                    .offersIsp = false,
                                    .blankConfig = 0x01FF,
                                    .keepsLastWord = true,
                                    .comparesLastWord = false};
// Below model 6300 the 14-pin part sits turned (pin 1 at socket pin 27), the 20-pin part in the
// same seat with its own picture; an 8-pin part from socket pin 17.
inline constexpr McuPackage kDip14Turned{
    14, "pic16dip14.bit", 30, 27, 14, kDip14Contacts, "", 8, 14, 1};
inline constexpr McuPackage kDip20Turned{
    20, "pic16dip14.bit", 30, 27, 14, kDip14Contacts, "", 5, 20, 1};
inline constexpr McuPackage kPackages[] = {kPicDip40,    kPicDip28,    kPicDip18,
                                           kDip14Turned, kDip20Turned, kPicDip08};
inline constexpr McuPackage kPackages6300[] = {kPicDip40, kPicDip28, kPicDip18, kPicDip14Std,
                                               kPicDip08};
inline constexpr const char* kDescribe[] = {"$Fonc:",
                                            "21 Erase",
                                            "22 Blank",
                                            "23 Write",
                                            "24 Verify",
                                            "32 WrData",
                                            "25 Config",
                                            "$DisTool:",
                                            "26,28,30,",
                                            "$Gridw:Option",
                                            "User.ID(用户信息)",
                                            "FFFF",
                                            "MFA.ID(厂家代码)",
                                            "FFFF",
                                            "$Radio1:02,擦除方式",
                                            "程序区",
                                            "数据区",
                                            "程序+数据",
                                            "$Radio2:07,OSC(震荡方式)",
                                            "LP(低频晶震)",
                                            "XT(普通晶震)",
                                            "HS(高频晶震)",
                                            "EC",
                                            "In RC",
                                            "In RC,CLKOUT",
                                            "Ext RC",
                                            "Ext RC,CLKOUT",
                                            "$end"};
inline constexpr const char* kConfig[] = {
    "0: pic12f629/675",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=FOSC2,v=1,a=0,b=2,c=2,m=0x04",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=3",
    "n=PWRTE,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=CP (加密),v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=BG0,v=1,a=0,b=12",
    "n=BG1,v=1,a=0,b=13",
    "1: pic12f635/16f636/639",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=FOSC2,v=1,a=0,b=2,c=2,m=0x04",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=3",
    "n=PWRTE,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=CP (加密),v=1,a=0,b=6",
    "n=CPD (Data加密),v=1,a=0,b=7",
    "n=BODEN0,v=1,a=0,b=8",
    "n=BODEN1,v=1,a=0,b=9",
    "n=IESO,v=1,a=0,b=10",
    "n=FCMEN,v=1,a=0,b=11",
    "n=WURE,v=1,a=0,b=12",
    "2: pic16f68x",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=FOSC2,v=1,a=0,b=2,c=2,m=0x04",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=3",
    "n=PWRTE,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=CP (加密),v=1,a=0,b=6",
    "n=CPD (Data加密),v=1,a=0,b=7",
    "n=BODEN0,v=1,a=0,b=8",
    "n=BODEN1,v=1,a=0,b=9",
    "n=IESO,v=1,a=0,b=10",
    "n=FCMEN,v=1,a=0,b=11",
    "3: pic1ff91x/946",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=FOSC2,v=1,a=0,b=2,c=2,m=0x04",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=3",
    "n=PWRTE,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=CP (加密),v=1,a=0,b=6",
    "n=CPD (Data加密),v=1,a=0,b=7",
    "n=BODEN0,v=1,a=0,b=8",
    "n=BODEN1,v=1,a=0,b=9",
    "n=IESO,v=1,a=0,b=10",
    "n=FCMEN,v=1,a=0,b=11",
    "n=DEBUG,v=1,a=0,b=12",
    "$end",
};
}  // namespace pic12f6xx

class PIC12F6XX final : public Flash14Set {
 private:
  const IcspPolicy& Policy() const override { return pic12f6xx::kPolicy; }
  std::span<const McuPackage> Packages() const override;
  std::span<const char* const> DescribeList() const override { return pic12f6xx::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return pic12f6xx::kConfig; }
  void EraseTrailer() const override;
  void Erase() override { CalibratedErase(static_cast<int>(Word(128))); }
  void Config() override { CalibratedConfig(); }
};

}  // namespace zelvar::pic
