#pragma once
// "P16C61": the 14-bit EPROM and OTP PICs (PIC16C6x, PIC16C7x, PIC16C62x) on the ICSP engine.
// The rows give the sizes and the socket pins; the design is the EPROM one of the row's package
// (or the PLCC44/QFP44 adapter by a "*P44"/"*Q44" title); VPP 12.0 V, VCC 4.4 V. No Erase: a word
// is Load Data, Begin Programming, the pulse from the "Speed" radio (one to three 100 us steps),
// End Programming. The oscillator radio sets FOSC1:FOSC0; every configuration bit without a row
// stays 1 (unprogrammed: on these chips a 0 cannot be taken back), and Config reads the word back.
#include <array>
#include <span>

#include "algorithms/pic/IcspSet.h"

namespace zelvar::pic {

namespace p16c61 {
inline constexpr IcspCodes kCodes{0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x08, 0x0E, 0x08};
inline constexpr std::uint8_t kPulseStep = 25;  // the EPROM designs' 100 us step
inline constexpr IcspPolicy kPolicy{.codes = kCodes,
                                    .powerUp = PowerUp::kGroundThenVddFirst,
                                    .programWait = kPulseStep,
                                    .offersIsp = false};

constexpr PicType Dip18(std::string_view name, std::int32_t last) {
  return {.name = name,
          .vppPin = 15,
          .vccPin = 25,
          .groundPin = 16,
          .lastAddress = last,
          .contactMask = SocketPins(12, 29)};
}
inline constexpr std::array<PicType, 17> kRows = {{
    {.name = "Exit"},
    Dip40("1: PIC16C64  (2k)", 4095),
    Dip40("2: PIC16C64A (2K)", 4095),
    Dip40("3: PIC16C65  (4K)", 8191),
    Dip40("4: PIC16C65A (4K)", 8191),
    Dip40("5: PIC16C74  (4K)", 8191),
    Dip40("6: PIC16C74A (4K)", 8191),
    Dip18("7: PIC16C71 (1K)", 2047),
    Dip18("8: PIC16C61 (1K)", 2047),
    Dip18("9: PIC16C620 (512)", 1023),
    Dip18("10: PIC16C621 (1K)", 2047),
    Dip18("11:PIC16C622 (2K)", 4095),
    Dip28("12:PIC16C62 (2K)", 4095),
    Dip28("13:PIC16C73 (4K)", 8191),
    Dip28("14:PIC16C72 (2K)", 4095),
    Dip28("15:PIC16C76 (8K)", 16383),
    Dip40("16: PIC16C77 (8K)", 16383),
}};
inline constexpr PicPackage kPackages[] = {
    {40, "pic16dip40c.bit", 1, 32, 31, SocketPins(1, 40)},
    {28, "pic16dip28c.bit", 7, 26, 25, SocketPins(7, 34)},
    {18, "pic16dip18c.bit", 15, 25, 16, SocketPins(12, 29)},
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
                                            "$Radio2:00,Speed(写速度)",
                                            "100 uS",
                                            "200u S",
                                            "300 uS",
                                            "$end"};
inline constexpr const char* kConfig[] = {
    "0: (只有一种类型)",         "n=WDTE(看门狗),l=1,v=1,a=0,b=2", "n=PWRTE(上电定时),v=1,a=0,b=3",
    "n=CP0(加密位),v=1,a=0,b=4", "n=BODEN,l=1,v=1,a=0,b=5",        "$end"};
inline constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
}  // namespace p16c61

class P16C61 final : public IcspSet {
 public:
  static constexpr std::array<PicType, 17> kTypes = p16c61::kRows;
  static void CheckRow(const PicType& t, TypeTableReport& r);

 private:
  const IcspPolicy& Policy() const override { return p16c61::kPolicy; }
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const PicPackage> Packages() const override { return p16c61::kPackages; }
  const PicPackage* NamedPackage() const override;
  std::span<const char* const> DescribeList() const override { return p16c61::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p16c61::kConfig; }
  std::span<const int> Operations() const override { return p16c61::kOps; }
  bool SizesFromLine() const override { return false; }
  int SetupVccMillivolts() const override { return 4400; }
  int SetupVppMillivolts() const override { return 12000; }
  int ProgramTicks() const override;
  std::uint16_t ConfigWord() const override;
  void ReadConfig() override;
};

}  // namespace zelvar::pic
