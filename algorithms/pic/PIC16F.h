#pragma once
// "PIC16F": the PIC16F7x-style parts with sizes from "fla=", the package from "pkg=" (no
// in-system header) and an optional second configuration word ("cf2="). Its engine is that of
// "P16F7X" (ground first, fixed wait and End Programming per word, 16 words a reply), with Load
// Configuration sent as 0x00 and the bulk erase from configuration space. The second word Config
// writes is the one the last Read config found (erased until then).
#include <array>
#include <span>

#include "algorithms/pic/P16F7X.h"

namespace zelvar::pic {

namespace pic16f {
constexpr IcspCodes kCodes{0x00, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8, 0xFE, 0x18};
constexpr IcspPolicy kPolicy{.codes = kCodes,
                             .powerUp = PowerUp::kGroundThenVddFirst,
                             .fixedTicks = 3,
                             .replyWords = 16,
                             .typeCheck = true,
                             .readConfigLoad = 0xFFFF,
                             .offersIsp = false};
constexpr const char* kDescribe[] = {"$Fonc:",       "21 Erase",     "22 Blank",
                                     "23 Write",     "24 Verify",    "25 Config",
                                     "$DisTool:",    "26,28,30,31,", "$Gridw:Address",
                                     "User.ID",      "1234",         "$Radio1:01,Osc(震荡方式)",
                                     "LP(低频晶震)", "XT(普通晶震)", "HS(高频晶震)",
                                     "RC(阻容振荡)", "$end"};
constexpr const char* kConfig[] = {
    "0: pic16f87x",
    "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
    "n=WDTEN(看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=CP0(加密),v=1,a=0,b=4",
    "n=CP1(加密),v=1,a=0,b=5",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=LVP,l=1,v=1,a=0,b=7",
    "n=CPD(Data加密),v=1,a=0,b=8",
    "n=WRT,v=1,a=0,b=9",
    "n=RESV,v=1,a=0,b=11",
    "n=CP0(加密),v=1,a=0,b=12",
    "n=CP1(加密),v=1,a=0,b=13",
    "1: pic16f87xA",
    "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
    "n=WDTEN(看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=LVP,l=1,v=1,a=0,b=7",
    "n=CPD(Data加密),v=1,a=0,b=8",
    "n=WRT0,v=1,a=0,b=9",
    "n=WRT1,v=1,a=0,b=10",
    "n=DEBUG,v=1,a=0,b=11",
    "n=CP(加密),v=1,a=0,b=13",
    "2: pic16f7x",
    "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
    "n=WDTEN(看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=CP0(加密),v=1,a=0,b=4",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "3:=1: pic16f8xA",
    "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
    "n=WDTEN(看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=LVP,l=1,v=1,a=0,b=7",
    "n=CPD(Data加密),v=1,a=0,b=8",
    "n=WRT0,v=1,a=0,b=9",
    "n=WRT1,v=1,a=0,b=10",
    "n=DEBUG,v=1,a=0,b=11",
    "n=CP(加密),v=1,a=0,b=13",
    "4: pic16f83/84/84a",
    "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
    "n=WDTEN(看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=CP(加密),v=1,a=0,b=4",
    "n=CP(加密),v=1,a=0,b=5",
    "n=CP(加密),v=1,a=0,b=6",
    "n=CP(加密),v=1,a=0,b=7",
    "n=CP(加密),v=1,a=0,b=8",
    "n=CP(加密),v=1,a=0,b=9",
    "n=CP(加密),v=1,a=0,b=10",
    "n=CP(加密),v=1,a=0,b=11",
    "n=CP(加密),v=1,a=0,b=12",
    "n=CP(加密),v=1,a=0,b=13",
    "5: pic16cr83/84",
    "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
    "n=WDTEN(看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=CP(加密),v=1,a=0,b=4",
    "n=CP(加密),v=1,a=0,b=5",
    "n=CP(加密),v=1,a=0,b=6",
    "n=DP,v=1,a=0,b=7",
    "n=CP(加密),v=1,a=0,b=8",
    "n=CP(加密),v=1,a=0,b=9",
    "n=CP(加密),v=1,a=0,b=10",
    "n=CP(加密),v=1,a=0,b=11",
    "n=CP(加密),v=1,a=0,b=12",
    "n=CP(加密),v=1,a=0,b=13",
    "6: pic16f716",
    "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
    "n=WDTEN(看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=BOREN,l=1,v=1,a=0,b=6",
    "n=BORV,v=1,a=0,b=7",
    "n=CP(加密),v=1,a=0,b=13",
    "7: pic16f7x7",
    "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
    "n=WDTEN(看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=FOSC2,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=BOREN,l=1,v=1,a=0,b=6",
    "n=BORV0,v=1,a=0,b=7",
    "n=BORV1,v=1,a=0,b=8",
    "n=RESV,v=1,a=0,b=11",
    "n=CCPMX(加密),v=1,a=0,b=12",
    "n=CP(加密),v=1,a=0,b=13",
    "$end",
};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
}  // namespace pic16f

class PIC16F final : public IcspSet {
 public:
  static constexpr std::string_view kRequiredItems = "fla= pkg=";
  static constexpr std::array<PicType, 9> kTypes = kF7xRows;

 private:
  const IcspPolicy& Policy() const override { return pic16f::kPolicy; }
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return pic16f::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return pic16f::kConfig; }
  std::span<const int> Operations() const override { return pic16f::kOps; }
  void Init() override;
  void Erase() override;
  void Config() override;
  void ReadConfig() override;

  int cf2_ = 0;
  std::uint16_t config2_ = 0x3FFF;
};

}  // namespace zelvar::pic
