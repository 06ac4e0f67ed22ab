#pragma once
// "PIC1687XA": the PIC16F873A to PIC16F877A generation on the ICSP engine with the bare 6-bit
// commands of the PIC16F87xA: ground and VDD first, a word by Begin Programming Only and End
// Programming after the "dly=" wait, the data EEPROM byte likewise with the settle, Erase by Chip
// Erase (program and data memory, or with the configuration word as well when the address is in
// configuration space), and Config by one Begin Erase/Program cycle on the configuration word,
// its bits without a row left erased and the word read back. The rows, packages, type check and
// the other handlers are those of "PIC16FEE".
#include <array>
#include <span>

#include "algorithms/pic/PIC16FEE.h"

namespace zelvar::pic {

namespace pic1687xa {
inline constexpr IcspCodes kCodes{0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x18, 0x17, 0x18, 0x17};
inline constexpr IcspPolicy kPolicy{
    .codes = kCodes, .powerUp = PowerUp::kGroundThenVddFirst, .typeCheck = true};
inline constexpr std::array<PicType, 9> kRows = {{
    kF87xRows[0],
    kF87xRows[1],
    kF87xRows[2],
    kF87xRows[3],
    kF87xRows[4],
    kF87xRows[5],
    kF87xRows[6],
    Dip28("7: PIC16F876A 8k", 16383, 255),
    Dip40("8: PIC16F877A 8k", 16383, 255),
}};
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
                                            "User.ID",
                                            "FFFF",
                                            "Manufactory.ID",
                                            "FFFF",
                                            "$Radio1:01,擦除方式",
                                            "程序+数据",
                                            "程序+数据+配置",
                                            "$Radio2:03,Osc(震荡方式)",
                                            "LP(低频晶震)",
                                            "XT(普通晶震)",
                                            "HS(高频晶震)",
                                            "RC(阻容振荡)",
                                            "$end"};
inline constexpr const char* kConfig[] = {
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
    "n=RESV,v=1,a=0,b=11",
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
    "3=1: pic16f8xA",
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
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
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
    "$end",
};
inline constexpr int kOps[] = {kOpErase, kOpBlank,      kOpWrite,    kOpVerify,   kOpConfig,
                               kOpRead,  kOpReadConfig, kOpReadData, kOpWriteData};
}  // namespace pic1687xa

class PIC1687XA final : public IcspSet {
 public:
  static constexpr std::string_view kRequiredItems = "fla= ee=";
  static constexpr std::array<PicType, 9> kTypes = pic1687xa::kRows;

 private:
  const IcspPolicy& Policy() const override { return pic1687xa::kPolicy; }
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return pic1687xa::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return pic1687xa::kConfig; }
  std::span<const int> Operations() const override { return pic1687xa::kOps; }
  void Erase() override;
  void Config() override;
};

}  // namespace zelvar::pic
