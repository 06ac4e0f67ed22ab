#pragma once
// "PIC16FEE": PIC16F870 to PIC16F877 (14-bit flash and data EEPROM) on the ICSP engine, the
// command codes sent with their don't-care bits set, VDD before VPP, a type check on the device
// ID, the erase scope by "$Radio1" and the data EEPROM operations.
#include <array>
#include <span>

#include "algorithms/pic/IcspSet.h"

namespace zelvar::pic {

// The PIC16F87x rows, which the sets of the PIC16F62xA, PIC16F630 and PIC16F88x parts share.
inline constexpr std::array<PicType, 9> kF87xRows = {{
    {.name = "Exit"},
    Dip28("1: PIC16F870 2k", 4095, 63),
    Dip40("2: PIC16F871 2k", 4095, 63),
    Dip28("3: PIC16F872 2k", 4095, 63),
    Dip28("4: PIC16F873 4k", 8191, 127),
    Dip40("5: PIC16F874 4k", 8191, 127),
    {.name = "6: PIC16F875 ???"},
    Dip28("7: PIC16F876 8k", 16383, 255),
    Dip40("8: PIC16F877 8k", 16383, 255),
}};

namespace pic16fee {
constexpr IcspPolicy kPolicy{.typeCheck = true};
constexpr const char* kDescribe[] = {"$Fonc:",
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
                                     "$Radio1:03,擦除方式",
                                     "程序区",
                                     "数据区",
                                     "程序+数据",
                                     "程序+数据+配置",
                                     "$Radio2:03,Osc(震荡方式)",
                                     "LP(低频晶震)",
                                     "XT(普通晶震)",
                                     "HS(高频晶震)",
                                     "RC(阻容振荡)",
                                     "$end"};
constexpr const char* kConfig[] = {
    "0: pic16f87x",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=CP0 (加密),v=1,a=0,b=4",
    "n=CP1 (加密),v=1,a=0,b=5",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=LVP,l=1,v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=WRT,v=1,a=0,b=9",
    "n=DEBUG,v=1,a=0,b=11",
    "n=CP0 (加密),v=1,a=0,b=12",
    "n=CP1 (加密),v=1,a=0,b=13",
    "1: pic16f87xA",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=LVP,l=1,v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=WRT0,v=1,a=0,b=9",
    "n=WRT1,v=1,a=0,b=10",
    "n=DEBUG,v=1,a=0,b=11",
    "n=CP (加密),v=1,a=0,b=13",
    "2: pic16f7x",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=CP0 (加密),v=1,a=0,b=4",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "3: pic16f8xA",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=LVP,l=1,v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=WRT0,v=1,a=0,b=9",
    "n=WRT1,v=1,a=0,b=10",
    "n=DEBUG,v=1,a=0,b=11",
    "n=CP (加密),v=1,a=0,b=13",
    "4: pic16f83/84/84a",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=CP (加密),v=1,a=0,b=4",
    "n=CP (加密),v=1,a=0,b=5",
    "n=CP (加密),v=1,a=0,b=6",
    "n=CP (加密),v=1,a=0,b=7",
    "n=CP (加密),v=1,a=0,b=8",
    "n=CP (加密),v=1,a=0,b=9",
    "n=CP (加密),v=1,a=0,b=10",
    "n=CP (加密),v=1,a=0,b=11",
    "n=CP (加密),v=1,a=0,b=12",
    "n=CP (加密),v=1,a=0,b=13",
    "5 pic16cr83/84",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=CP (加密),v=1,a=0,b=4",
    "n=CP (加密),v=1,a=0,b=5",
    "n=CP (加密),v=1,a=0,b=6",
    "n=DP,v=1,a=0,b=7",
    "n=CP (加密),v=1,a=0,b=8",
    "n=CP (加密),v=1,a=0,b=9",
    "n=CP (加密),v=1,a=0,b=10",
    "n=CP (加密),v=1,a=0,b=11",
    "n=CP (加密),v=1,a=0,b=12",
    "n=CP (加密),v=1,a=0,b=13",
    "6 pic16F62X",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=FOSC2,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=LVP,l=1,v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=CP0 (加密),v=1,a=0,b=10",
    "n=CP1 (加密),v=1,a=0,b=11",
    "n=CP0 (加密),v=1,a=0,b=12",
    "n=CP1 (加密),v=1,a=0,b=13",
    "7 pic16F62XA",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=FOSC2,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=LVP,l=1,v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=CP (加密),v=1,a=0,b=13",
    "8: pic16f818/819",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=WDTE(看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=FOS2,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=LVP,l=1,v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=WRT0,v=1,a=0,b=9",
    "n=WRT1,v=1,a=0,b=10",
    "n=DEBUG,v=1,a=0,b=11",
    "n=CCPMX (加密),v=1,a=0,b=12",
    "n=CP (加密),v=1,a=0,b=13",
    "9: pic12f629/675",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=FOSC2,v=1,a=0,b=2",
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
constexpr int kOps[] = {kOpErase, kOpBlank,      kOpWrite,    kOpVerify,   kOpConfig,
                        kOpRead,  kOpReadConfig, kOpReadData, kOpWriteData};
}  // namespace pic16fee

class PIC16FEE final : public IcspSet {
 public:
  static constexpr std::string_view kRequiredItems = "fla= ee=";
  static constexpr std::array<PicType, 9> kTypes = kF87xRows;

 private:
  const IcspPolicy& Policy() const override { return pic16fee::kPolicy; }
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return pic16fee::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return pic16fee::kConfig; }
  std::span<const int> Operations() const override { return pic16fee::kOps; }
  void Erase() override;

  // The erase steps, each from its own mode entry.
  void EraseProgram() const;
  bool EraseData() const;
  bool EraseAll() const;
  bool BulkErase() const;
  static void EraseCycle();
};

}  // namespace zelvar::pic
