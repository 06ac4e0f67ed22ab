#pragma once
// "PIC12F": the PIC12F629/675 class as "PIC12F6XX" does them, with its own entry (ground, VPP,
// then VDD), the erase scope on "$Radio2" and the oscillator on "$Radio1" (",c=1" rows), and
// Read config's line with the user ID. Erase always saves the calibration first, checked, and
// writes it back, whatever the line says of the data EEPROM.
#include "algorithms/pic/PIC12F6XX.h"

namespace zelvar::pic {

namespace pic12f {
inline constexpr IcspPolicy kPolicy{.codes = kPlainCodes,
                                    .powerUp = PowerUp::kVppFirst,
                                    .typeCheck = true,
                                    .offersIsp = false,
                                    .blankConfig = 0x01FF,
                                    .keepsLastWord = true,
                                    .comparesLastWord = false};
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
                                            "$Radio2:02,Erase(擦除方式)",
                                            "Code(程序区)",
                                            "Data(数据区)",
                                            "All(程序+数据)",
                                            "$Radio1:07,OSC(震荡方式)",
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
    "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
    "n=FOSC2,v=1,a=0,b=2,c=1,m=0x04",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=3",
    "n=PWRTE,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=CP (加密),v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=BG0,v=1,a=0,b=12",
    "n=BG1,v=1,a=0,b=13",
    "0: pic12f683",
    "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
    "n=FOSC2,v=1,a=0,b=2,c=1,m=0x04",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=3",
    "n=PWRTE,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=CP (加密),v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=BG0,v=1,a=0,b=12",
    "n=BG1,v=1,a=0,b=13",
    "$end",
};
}  // namespace pic12f

class PIC12F final : public Flash14Set {
 private:
  const IcspPolicy& Policy() const override { return pic12f::kPolicy; }
  std::span<const McuPackage> Packages() const override;
  std::span<const char* const> DescribeList() const override { return pic12f::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return pic12f::kConfig; }
  void EraseTrailer() const override;
  void Erase() override { CalibratedErase(static_cast<int>(Word(129))); }
  void Config() override { CalibratedConfig(); }
  void ReadConfig() override;
};

}  // namespace zelvar::pic
