#pragma once
// "PIC16F5X": the 12-bit-core flash PICs (PIC16F54, PIC16F57) in the 18-pin and 28-pin DIP, the
// program size ("fla=" words), package ("pkg=" 18 or 29) and supply ("vcc=") from the chip line.
// One row serves every chip; the configuration word has WDTE and CP rows, the oscillator comes
// from "$Radio1".
#include <array>
#include <span>
#include <string_view>

#include "algorithms/pic/Flash12.h"

namespace zelvar::pic {

namespace pic16f5x {
inline constexpr const char* kDescribe[] = {
    "$Fonc:",       "21 Erase",     "22 Blank",
    "23 Write",     "24 Verify",    "25 Config",
    "$DisTool:",    "26,28,30,31,", "$Gridw:Address",
    "User.ID",      "1234",         "$Radio1:00,震荡方式配置",
    "LP(低频晶震)", "XT(普通晶震)", "HS(高频晶震)",
    "RC(阻容振荡)", "$end"};
inline constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=WDTE (看门狗),v=1,a=0,b=2,l=1",
                                          "n=CP (加密保护),v=1,a=0,b=3", "$end"};
}  // namespace pic16f5x

class PIC16F5X final : public Flash12Set {
 public:
  // Row 1's pins and size give way to the chip line's package and "fla=".
  static constexpr std::array<PicType, 2> kTypes = {{
      {.name = "Exit"},
      {.name = "1: PIC16F5X",
       .vppPin = 15,
       .vccPin = 25,
       .groundPin = 16,
       .lastAddress = 4095,
       .contactMask = SocketPins(12, 29)},
  }};
  static constexpr std::string_view kRequiredItems = "fla= pkg=";

 private:
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return pic16f5x::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return pic16f5x::kConfig; }
};

}  // namespace zelvar::pic
