#pragma once
// "P12C508": the one-time-programmable 8-pin PIC12C508/509 (12-bit core, the factory oscillator
// calibration, a MOVLW 0xCxx, in the last program word) by serial programming in the DIP-8 seat
// from socket pin 17, sizes and pins from the rows alone. No Erase: a word is Load Data, Begin
// Programming, one to three 100 us pulse steps by the "Speed" radio, End Programming. The
// calibration word is never programmed: Write, Blank and Verify stop before it. The oscillator
// radio gives configuration bits 0-1, every bit without a row stays 1, and Config reads the word
// back.
#include <array>
#include <span>
#include <string_view>

#include "algorithms/pic/Cal12.h"

namespace zelvar::pic {

namespace p12c508 {
inline constexpr IcspPolicy kPolicy{.codes = cal12::kCodes,
                                    .powerUp = PowerUp::kGroundThenVddFirst,
                                    .programWait = 25,  // the design's 100 us pulse step
                                    .replyWords = 16,
                                    .offersIsp = false};
// VPP, VCC and ground of the DIP-8 from socket pin 17: chip pins 4, 1 and 8.
constexpr PicType Row8(std::string_view name, std::int32_t last) {
  return {.name = name,
          .vppPin = 20,
          .vccPin = 17,
          .groundPin = 24,
          .lastAddress = last,
          .contactMask = SocketPins(17, 24)};
}
inline constexpr McuPackage kPackages[] = {{8, "pic16dip08.bit", 20, 17, 24, SocketPins(17, 24)}};
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
                                            "LP(低频晶振)",
                                            "XT(高频晶振)",
                                            "RC(内部阻振)",
                                            "ExtRC(外部阻振)",
                                            "$Radio2:01,Speed(写速度)",
                                            "Quick(快)",
                                            "Nomal(标准)",
                                            "Slow(慢)",
                                            "$end"};
inline constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=WDT(看门狗),l=1,v=1,a=0,b=2",
                                          "n=CP(加密位),v=1,a=0,b=3",
                                          "n=MCLRE(外部复位),l=1,v=1,a=0,b=4", "$end"};
}  // namespace p12c508

class P12C508 final : public Cal12Set {
 public:
  static constexpr std::array<PicType, 3> kTypes = {{
      {.name = "Exit"},
      p12c508::Row8("1: PIC12C508 (.5k)", 1023),
      p12c508::Row8("2: PIC12C509 (1k)", 2047),
  }};

 private:
  const IcspPolicy& Policy() const override { return p12c508::kPolicy; }
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const McuPackage> Packages() const override { return p12c508::kPackages; }
  std::span<const int> Operations() const override { return cal12::kOpsNoErase; }
  bool SizesFromLine() const override { return false; }
  int SetupVccMillivolts() const override { return 5000; }
  int SetupVppMillivolts() const override { return 12000; }
  void AfterSetup() override;
  // "Quick", "Nomal", "Slow": one, two or three 100 us pulse steps.
  int ProgramTicks() const override;
  std::span<const char* const> DescribeList() const override { return p12c508::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p12c508::kConfig; }
  // The rows' bits, the oscillator from the radio in bits 0-1.
  std::uint16_t ConfigWord() const override;
  void LogConfigWritten(std::uint16_t config) const override;
  void LogConfigRead(std::uint16_t config, std::uint16_t id) const override;
};

}  // namespace zelvar::pic
