#pragma once
// "P16F7X": PIC16F70 to PIC16F77 (14-bit flash, no data EEPROM) with the sizes and socket pins
// of its table, the design chosen by the row's VCC pin. Against "PIC16FEE": ground selected
// first, Begin Programming with a fixed wait and End Programming per word, 16 words a reply, no
// type check, one bulk erase. The oscillator radio sets FOSC1:FOSC0, and BOREN is bit 6 as the
// PIC16F7x data has it; bits without a row stay erased.
#include <array>
#include <span>

#include "algorithms/pic/IcspSet.h"

namespace zelvar::pic {

namespace p16f7x {
constexpr IcspCodes kCodes{0xF0, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8, 0xFE, 0x18};
constexpr IcspPolicy kPolicy{.codes = kCodes,
                             .powerUp = PowerUp::kGroundThenVddFirst,
                             .fixedTicks = 3,
                             .replyWords = 16,
                             .typeCheck = true,
                             .readConfigLoad = 0xFFFF,
                             .configToGrid = false};
constexpr const char* kDescribe[] = {"$Fonc:",
                                     "21 Erase",
                                     "22 Blank",
                                     "23 Write",
                                     "24 Verify",
                                     "25 Config",
                                     "$DisTool:",
                                     "26,28,30,31,",
                                     "$Gridw:Address",
                                     "User.ID",
                                     "1234",
                                     "MFA",
                                     "FFFF",
                                     "$Radio1:00,OSC(震荡方式)",
                                     "LP(低频晶振)",
                                     "XT(普通晶振)",
                                     "HS(高频晶振)",
                                     "RC(阻容震振)",
                                     "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=看门狗（WTD）,l=1,v=1,a=0,b=2",
                                   "n=上电定时(PWRT3),v=1,a=0,b=3",
                                   "n=加密位（Sec）,v=1,a=0,b=4",
                                   "n=BODEN,l=1,v=1,a=0,b=6",
                                   "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
}  // namespace p16f7x

// The PIC16F7x rows, which "PIC16F" shares.
inline constexpr std::array<PicType, 9> kF7xRows = {{
    {.name = "Exit"},
    Dip28("1: PIC16F70 2k", 4095),
    Dip40("2: PIC16F71 2k", 4095),
    Dip28("3: PIC16F72 2k", 4095),
    Dip28("4: PIC16F73 4k", 8191),
    Dip40("5: PIC16F74 4k", 8191),
    {.name = "6: PIC16F75 ???"},
    Dip28("7: PIC16F76 8k", 16383),
    Dip40("8: PIC16F77 8k", 16383),
}};

class P16F7X final : public IcspSet {
 public:
  static constexpr std::array<PicType, 9> kTypes = kF7xRows;

 private:
  const IcspPolicy& Policy() const override { return p16f7x::kPolicy; }
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return p16f7x::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p16f7x::kConfig; }
  std::span<const int> Operations() const override { return p16f7x::kOps; }
  bool SizesFromLine() const override { return false; }
  std::uint16_t ConfigWord() const override;
  void Erase() override;
};

}  // namespace zelvar::pic
