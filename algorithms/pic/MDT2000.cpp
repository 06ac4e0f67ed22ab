#include "algorithms/pic/MDT2000.h"

namespace zelvar::pic {

namespace {
constexpr MdtParallelSet::Policy kPolicy{.entryClocks = true, .configLine = "%04X"};
constexpr const char* kDescribe[] = {"$Fonc:",
                                     "22 Blank",
                                     "23 Write",
                                     "24 Verify",
                                     "25 Config",
                                     "$DisTool:",
                                     "21,26,28,30,31,",
                                     "$Gridw:Option",
                                     "User.ID(用户信息)",
                                     "FFFF",
                                     "$Radio1:04,OSC(震荡方式)",
                                     "LP(低频晶震)",
                                     "XT(普通晶震)",
                                     "HS(高频晶震)",
                                     "RC(阻容震荡)",
                                     "Blank(空)",
                                     "???",
                                     "$Radio2:04,OST(震荡延迟)",
                                     "150  uS",
                                     "20   mS",
                                     "40   mS",
                                     "80   mS",
                                     "Blank(空)",
                                     "???",
                                     "$Radio3:00,写速度",
                                     "1 ms",
                                     "2 ms",
                                     "3 ms",
                                     "4 ms",
                                     "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=WDT(看门狗),l=1,a=0,b=0",
                                   "n=PED(上电检测),l=1,a=0,b=1", "n=Security(加密位),l=1,a=0,b=2",
                                   "$end"};
}  // namespace

const MdtParallelSet::Policy& MDT2000::policy() const {
  return kPolicy;
}

std::span<const char* const> MDT2000::DescribeList() const {
  return kDescribe;
}

std::span<const char* const> MDT2000::ConfigTable() const {
  return kConfig;
}

std::uint16_t MDT2000::Encode(std::uint32_t radio1, std::uint32_t radio2, std::uint32_t grid) {
  const std::uint16_t delay = radio2 < 4 ? kMdtStartDelay[radio2] : 15;
  const auto field = [&](int bit, int set, int clear) { return (grid >> bit & 1) ? set : clear; };
  return static_cast<std::uint16_t>(OscillatorNibble(radio1) | delay << 4 | field(0, 2, 1) << 8 |
                                    field(1, 2, 1) << 10 | field(2, 1, 2) << 12);
}

std::uint32_t MDT2000::Grid(std::uint16_t config) {
  std::uint32_t grid = 0;
  if ((config >> 8 & 3) == 2) grid |= 1;
  if ((config >> 10 & 3) == 2) grid |= 2;
  if ((config >> 12 & 3) == 1) grid |= 4;
  return grid;
}

}  // namespace zelvar::pic
