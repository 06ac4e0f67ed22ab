// The tables of "MDT10P7X" and "MDT10P8PIN" (describe lists, config groups, placements) and of
// "MDT2051".
#include "algorithms/pic/MDT10P7X.h"
#include "algorithms/pic/MDT10P8PIN.h"
#include "algorithms/pic/MDT2051.h"

namespace zelvar::pic {

namespace {

#define MDT_FUNCTIONS \
  "$Fonc:", "22 Blank", "23 Write", "24 Verify", "25 Config", "$DisTool:", "21,26,28,30,31,"
#define MDT_OSCILLATOR                                                                        \
  "$Radio1:04,OSC(震荡方式)", "LP(低频晶震)", "XT(普通晶震)", "HS(高频晶震)", "RC(阻容震荡)", \
      "Blank(空)", "???"

constexpr const char* kSerialWithRadio[] = {MDT_FUNCTIONS, MDT_OSCILLATOR, "$end"};
constexpr const char* kSerialPlain[] = {MDT_FUNCTIONS, "$end"};

constexpr int k7xOscillatorGroups[] = {0, 3, 5, 6};
constexpr MdtPlacement k7xPlacements[] = {{1, 7, 28, 0},  {3, 10, 14, 1}, {4, 10, 18, 1},
                                          {5, 12, 18, 0}, {6, 13, 16, 1}, {7, 17, 8, 0}};
constexpr MdtSerialSet::Policy k7xPolicy{
    .checkFirst = false, .oscillatorGroups = k7xOscillatorGroups, .placements = k7xPlacements};
constexpr const char* k7xConfig[] = {"0: 61,62,621,64,651,72,721,73,74,84,841",
                                     "n=PRD(电源范围控制),l=1,a=0,b=1",
                                     "n=PUT(振荡延迟),l=1,a=0,b=2",
                                     "n=WDT(看门狗),l=1,a=0,b=3",
                                     "n=PED(电源边沿检测),l=1,a=0,b=4",
                                     "n=Security(加密位),l=1,a=0,b=5",
                                     "1:   41,43",
                                     "n=Security(加密位),l=1,a=0,b=5",
                                     "2: 55a1/a3,55b1/b3,56a1/a3,",
                                     "n=OST,l=1,a=0,b=2",
                                     "n=WDT(看门狗),l=1,a=0,b=3",
                                     "n=Security(加密位),l=1,a=0,b=5",
                                     "3: 55a2/a4,55b2/b4,56a2/a4",
                                     "n=OST,l=1,a=0,b=2",
                                     "n=WDT(看门狗),l=1,a=0,b=3",
                                     "n=Security(加密位),l=1,a=0,b=5",
                                     "4: 57a1/a2",
                                     "n=振荡延迟(PUT),l=1,a=0,b=2",
                                     "n=WDT(看门狗(WDT),l=1,a=0,b=3",
                                     "n=PED(电源边沿检测),l=1,a=0,b=4",
                                     "n=Security(加密位),l=1,a=0,b=5",
                                     "5: 65",
                                     "n=振荡延迟(PUT),l=1,a=0,b=2",
                                     "n=WDT(看门狗(WDT),l=1,a=0,b=3",
                                     "n=PED(电源边沿检测),l=1,a=0,b=4",
                                     "n=Security(加密位),l=1,a=0,b=5",
                                     "6: 53   暂时不能，有5种振荡方式",
                                     "n=WDT(看门狗),l=1,a=0,b=3",
                                     "n=Security(加密位),l=1,a=0,b=5",
                                     "$end"};

constexpr int k8pinOscillatorGroups[] = {1};
constexpr MdtPlacement k8pinPlacements[] = {{1, 17, 8, 0}};
constexpr MdtSerialSet::Policy k8pinPolicy{
    .checkFirst = true, .oscillatorGroups = k8pinOscillatorGroups, .placements = k8pinPlacements};
constexpr const char* k8pinConfig[] = {"0: 53a1/a3",
                                       "n=OST(20ms/80ms),l=1,a=0,b=2",
                                       "n=WDT(看门狗),l=1,a=0,b=3",
                                       "n=Security(加密位),l=1,a=0,b=5",
                                       "1: 53a2/a4",
                                       "n=OST(20ms/80ms),l=1,a=0,b=2",
                                       "n=WDT(看门狗),l=1,a=0,b=3",
                                       "n=Security(加密位),l=1,a=0,b=5",
                                       "$end"};

constexpr MdtParallelSet::Policy k2051Policy{
    .entryClocks = false, .configLine = "Config = %04x", .secondRadio = false};
constexpr const char* k2051Describe[] = {MDT_FUNCTIONS, MDT_OSCILLATOR, "$end"};
constexpr const char* k2051Config[] = {"0: (只有一种类型)",
                                       "n=PRD,l=1,a=0,b=0",
                                       "n=PUT,l=1,a=0,b=1",
                                       "n=WDT(看门狗),l=1,a=0,b=2",
                                       "n=PED,l=1,a=0,b=3",
                                       "n=Security(加密位),l=1,a=0,b=4",
                                       "$end"};

#undef MDT_FUNCTIONS
#undef MDT_OSCILLATOR

}  // namespace

const MdtSerialSet::Policy& MDT10P7X::policy() const {
  return k7xPolicy;
}
std::span<const char* const> MDT10P7X::DescribeList() const {
  if (HasOscillator()) return kSerialWithRadio;
  return kSerialPlain;
}
std::span<const char* const> MDT10P7X::ConfigTable() const {
  return k7xConfig;
}

const MdtSerialSet::Policy& MDT10P8PIN::policy() const {
  return k8pinPolicy;
}
std::span<const char* const> MDT10P8PIN::DescribeList() const {
  if (HasOscillator()) return kSerialWithRadio;
  return kSerialPlain;
}
std::span<const char* const> MDT10P8PIN::ConfigTable() const {
  return k8pinConfig;
}

const MdtParallelSet::Policy& MDT2051::policy() const {
  return k2051Policy;
}
std::span<const char* const> MDT2051::DescribeList() const {
  return k2051Describe;
}
std::span<const char* const> MDT2051::ConfigTable() const {
  return k2051Config;
}

std::uint16_t MDT2051::Encode(std::uint32_t radio1, std::uint32_t grid) {
  const auto field = [&](int bit, unsigned set, unsigned clear) {
    return (grid >> bit & 1) ? set : clear;
  };
  return static_cast<std::uint16_t>(OscillatorNibble(radio1) | field(0, 1, 2) << 4 |
                                    field(1, 1, 2) << 6 | field(2, 2, 1) << 8 |
                                    field(3, 2, 1) << 10 | field(4, 1, 2) << 12);
}

std::uint32_t MDT2051::Grid(std::uint16_t config) {
  std::uint32_t grid = 0;
  if ((config >> 4 & 3) == 1) grid |= 1;
  if ((config >> 6 & 3) == 1) grid |= 2;
  if ((config >> 8 & 3) == 2) grid |= 4;
  if ((config >> 10 & 3) == 2) grid |= 8;
  if ((config >> 12 & 3) == 1) grid |= 16;
  return grid;
}

}  // namespace zelvar::pic
