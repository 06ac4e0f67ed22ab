#pragma once
// "P16C505": the one-time-programmable PIC16C505 (12-bit core, 1024 words, the factory
// oscillator calibration in word 0x3FF) by serial programming, one 100 us pulse a word between
// Begin and End Programming, no erase. Below model 6300 the 14-pin chip sits turned (row 1); from
// 6300 the set uses row 11, the upright seat. The calibration word is never programmed: Write,
// Blank and Verify stop before it. Rows without wiring ("Exit", "Isp" and the empty ones) are
// refused.
#include <array>
#include <span>
#include <string_view>

#include "algorithms/pic/Cal12.h"

namespace zelvar::pic {

namespace p16c505 {
inline constexpr IcspPolicy kPolicy{.codes = cal12::kCodes,
                                    .powerUp = PowerUp::kGroundThenVddFirst,
                                    .fixedTicks = 1,
                                    .programWait = 25,
                                    .replyWords = 16,
                                    .offersIsp = false};
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
                                            "$Radio1:07,OSC(震荡方式)",
                                            "LP(低频晶震)",
                                            "XT(普通晶震)",
                                            "HS(高频晶震)",
                                            "Blank(空)",
                                            "In RC",
                                            "In RC,CLKOUT",
                                            "Ext RC",
                                            "Ext RC,CLKOUT",
                                            "$end"};
inline constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                          "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
                                          "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
                                          "n=FOSC2,v=1,a=0,b=2,c=1,m=0x04",
                                          "n=WDTE(看门狗),l=1,v=1,a=0,b=3",
                                          "n=CP 加密,v=1,a=0,b=4",
                                          "n=MCLRE,l=1,v=1,a=0,b=5",
                                          "n=CP(加密保护),v=1,a=0,b=6",
                                          "n=CP(加密保护),v=1,a=0,b=7",
                                          "n=CP(加密保护),v=1,a=0,b=8",
                                          "n=CP(加密保护),v=1,a=0,b=9",
                                          "n=CP(加密保护),v=1,a=0,b=10",
                                          "n=CP(加密保护),v=1,a=0,b=11",
                                          "$end"};
}  // namespace p16c505

class P16C505 final : public Cal12Set {
 public:
  // Row 1 the turned seat (chip pin 1 in socket pin 27), row 11 the upright one (socket pin 14).
  static constexpr std::array<PicType, 12> kTypes = {{
      {.name = "Exit"},
      {.name = " PIC1C505 DIP14",
       .vppPin = 30,
       .vccPin = 27,
       .groundPin = 14,
       .lastAddress = 2047,
       // Every pin of the package, MCLR/VPP (chip pin 4, socket pin 30) with them.
       .contactMask = SocketPins(8, 14) | SocketPins(27, 33)},
      {},
      {},
      {},
      {},
      {},
      {},
      {},
      {},
      {.name = "Isp"},
      {.name = " PIC1C505 DIP14",
       .vppPin = 17,
       .vccPin = 14,
       .groundPin = 27,
       .lastAddress = 2047,
       .contactMask = PinBits({14, 17, 25, 26, 27})},
  }};
  static void CheckRow(const PicType& t, TypeTableReport& r) {
    Flash12Set::CheckRow(t, r);
    r.bitstreams.emplace_back("pic16dip14.bit");
    r.bitstreams.emplace_back("pic16dip14std.bit");
  }

 private:
  const IcspPolicy& Policy() const override { return p16c505::kPolicy; }
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const McuPackage> Packages() const override { return {}; }
  std::span<const int> Operations() const override { return cal12::kOpsNoErase; }
  std::span<const char* const> DescribeList() const override { return p16c505::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p16c505::kConfig; }
  // One 100 us pulse a word, as the programming guide gives it.
  int ProgramTicks() const override { return 1; }
  void Init() override;
  std::uint16_t ConfigWord() const override;
  std::uint32_t RadioOf(std::uint16_t config) const override { return config & 7u; }
};

}  // namespace zelvar::pic
