#pragma once
// "P16CXXX": the 14-bit EPROM and OTP PICs (PIC16C6x, PIC16C7x, PIC16C62x) on the ICSP engine,
// sizes from "fla=" and the package from "pkg=": the DIP packages load the EPROM design and then
// the package's own, which stays; the PLCC44 and QFP44 adapters show their placement first.
// VPP 12.0 V, VCC 5.0 V; VDD comes before VPP. No Erase: a word is Load Data, Begin Programming,
// two 100 us pulse steps, End Programming. The configuration groups ("cfg=") number their bits
// from bit 15 down (grid bit b is the chip's bit 15 - b); every chip bit without a row stays 1
// (on these chips a 0 cannot be taken back), and Config reads the word back. The 8-pin and
// 44-pin packages have no contact test (no pins of their own to require). The 8-pin parts (the
// PIC12C671/672, group 4) keep their calibration word.
#include <array>
#include <span>

#include "algorithms/pic/P16C61.h"

namespace zelvar::pic {

namespace p16cxxx {
inline constexpr IcspPolicy kPolicy{.codes = p16c61::kCodes,
                                    .powerUp = PowerUp::kGroundThenVddFirst,
                                    .fixedTicks = 2,
                                    .programWait = p16c61::kPulseStep,
                                    .configToGrid = false,
                                    .offersIsp = false};
// The 8-pin PIC12C671/672 keep their factory oscillator calibration (a RETLW) in the last program
// word: Write never programs it, Blank and Verify never compare it.
inline constexpr IcspPolicy kCalibratedPolicy{.codes = p16c61::kCodes,
                                              .powerUp = PowerUp::kGroundThenVddFirst,
                                              .fixedTicks = 2,
                                              .programWait = p16c61::kPulseStep,
                                              .configToGrid = false,
                                              .offersIsp = false,
                                              .keepsLastWord = true,
                                              .comparesLastWord = false};

// A package by "pkg=": the design loaded first (nullptr: none), the placement picture, the
// design that stays, the chip's supply pins and the pins the contact test requires.
struct Stage {
  int pkg;
  const char* first;
  const char* picture;
  const char* bitstream;
  std::uint8_t vppPin, vccPin, groundPin;
  std::uint64_t contactMask;
};
inline constexpr Stage kStages[] = {
    {44, nullptr, "p44b.bmp", "pic18plcc44.bit", 22, 11, 10, 0},
    {45, nullptr, "qfp44.bmp", "pic18qfp44.bit", 22, 11, 10, 0},
    {40, "pic16dip40c.bit", "", "pic16dip40c.bit", 1, 32, 31, SocketPins(1, 40)},
    {28, "pic16dip28c.bit", "", "pic16dip28.bit", 7, 26, 25, SocketPins(7, 34)},
    {20, "pic16dip18c.bit", "", "pic16dip20.bit", 14, 26, 15, SocketPins(12, 29)},
    {18, "pic16dip18c.bit", "", "pic16dip18.bit", 15, 25, 16, SocketPins(12, 29)},
    {8, nullptr, "", "pic16dip08.bit", 20, 17, 24, SocketPins(17, 24)},
};

inline constexpr const char* kDescribe[] = {"$Fonc:",
                                            "22 Blank",
                                            "23 Write",
                                            "24 Verify",
                                            "25 Config",
                                            "$DisTool:",
                                            "21,26,28,30,31,",
                                            "$Gridw:Option",
                                            "User.ID(用户信息)",
                                            "FFFF",
                                            "$Radio1:01,Osc(震荡方式)",
                                            "LP(低频晶震)",
                                            "XT(普通晶震)",
                                            "HS(高频晶震)",
                                            "RC(阻容振荡)",
                                            "$end"};
inline constexpr const char* kConfig[] = {"0: 61/71",
                                          "n=FOSC0,v=1,a=0,b=15,c=1,m=0x01",
                                          "n=FOSC1,v=1,a=0,b=14,c=1,m=0x02",
                                          "n=WDTE,l=1,v=1,a=0,b=13",
                                          "n=PWPTE,v=1,a=0,b=12",
                                          "n=CP (加密),v=1,a=0,b=11",
                                          "1: 6X/7X",
                                          "n=FOSC0,v=1,a=0,b=15,c=1,m=0x01",
                                          "n=FOSC1,v=1,a=0,b=14,c=1,m=0x02",
                                          "n=WDTE,l=1,v=1,a=0,b=13",
                                          "n=PWPTE,v=1,a=0,b=12",
                                          "n=CP0 (加密),v=1,a=0,b=11",
                                          "n=CP1 (加密),v=1,a=0,b=10",
                                          "n=Reserved,v=1,a=0,b=9",
                                          "n=Reserved,v=1,a=0,b=8",
                                          "2: 62X",
                                          "n=FOSC0,v=1,a=0,b=15,c=1,m=0x01",
                                          "n=FOSC1,v=1,a=0,b=14,c=1,m=0x02",
                                          "n=WDTE,l=1,v=1,a=0,b=13",
                                          "n=PWPTE,v=1,a=0,b=12",
                                          "n=CP0 (加密),v=1,a=0,b=11",
                                          "n=CP1 (加密),v=1,a=0,b=10",
                                          "n=BODEN,l=1,v=1,a=0,b=9",
                                          "n=Reserved,v=1,a=0,b=8",
                                          "n=CP0 (加密),v=1,a=0,b=7",
                                          "n=CP1 (加密),v=1,a=0,b=6",
                                          "n=CP0 (加密),v=1,a=0,b=5",
                                          "n=CP1 (加密),v=1,a=0,b=4",
                                          "n=CP0 (加密),v=1,a=0,b=3",
                                          "3:  7XX",
                                          "n=FOSC0,v=1,a=0,b=15,c=1,m=0x01",
                                          "n=FOSC1,v=1,a=0,b=14,c=1,m=0x02",
                                          "n=FOSC2,v=1,a=0,b=13",
                                          "n=WDTE,v=1,l=1,a=0,b=12",
                                          "n=PWPTE,v=1,a=0,b=11",
                                          "n=MCLRE,l=1,v=1,a=0,b=10",
                                          "n=BODEN,l=1,v=1,a=0,b=9",
                                          "n=CP (加密),v=1,a=0,b=7",
                                          "n=CP (加密),v=1,a=0,b=6",
                                          "n=BORV0,v=1,a=0,b=5",
                                          "n=BORV1,v=1,a=0,b=4",
                                          "n=CP (加密),v=1,a=0,b=3",
                                          "n=CP (加密),v=1,a=0,b=2",
                                          "4: 12c671/2",
                                          "n=FOSC0,v=1,a=0,b=15,c=1,m=0x01",
                                          "n=FOSC1,v=1,a=0,b=14,c=1,m=0x02",
                                          "n=FOSC2,v=1,a=0,b=13",
                                          "n=WDTE,v=1,l=1,a=0,b=12",
                                          "n=PWPTE,v=1,a=0,b=11",
                                          "n=CP0 (加密),v=1,a=0,b=10",
                                          "n=CP1 (加密),v=1,a=0,b=9",
                                          "n=MCLRE,l=1,v=1,a=0,b=8",
                                          "n=CP0 (加密),v=1,a=0,b=7",
                                          "n=CP1 (加密),v=1,a=0,b=6",
                                          "n=CP0 (加密),v=1,a=0,b=5",
                                          "n=CP1 (加密),v=1,a=0,b=4",
                                          "n=CP0 (加密),v=1,a=0,b=3",
                                          "n=CP1 (加密),v=1,a=0,b=2",
                                          "$end"};
}  // namespace p16cxxx

class P16CXXX final : public IcspSet {
 public:
  // The rows name the parts; sizes and pins come from the chip line.
  static constexpr std::array<PicType, 17> kTypes = p16c61::kRows;
  static constexpr std::string_view kRequiredItems = "fla= pkg=";
  static void CheckRow(const PicType& t, TypeTableReport& r);

 private:
  const IcspPolicy& Policy() const override {
    return calibrated_ ? p16cxxx::kCalibratedPolicy : p16cxxx::kPolicy;
  }
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return p16cxxx::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p16cxxx::kConfig; }
  std::span<const int> Operations() const override { return p16c61::kOps; }
  void Init() override;
  std::uint16_t ConfigWord() const override;
  void ReadConfig() override;

  bool calibrated_ = false;  // the 8-pin package: the PIC12C671/672
};

}  // namespace zelvar::pic
