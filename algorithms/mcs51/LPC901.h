#pragma once
// "LPC901": the 8-, 14- and 16-pin LPC90x/91x parts through the shifter (rows 1 to 3; rows 11 to
// 13 on models 6300 and up) and the ISP header (row 10, its legend by "pkg="). No code read: the
// set offers no Read and refuses Verify.
#include <array>
#include <span>

#include "algorithms/mcs51/P89LPC932.h"

namespace zelvar::mcs51 {

namespace lpc901 {
constexpr const char* kDescribe[] = {
    "$Fonc:",    "21 Erase",  "22 Blank",           "23 Write",
    "25 Config", "$DisTool:", "22,24,26,27,30,31,", ZELVAR_LPC900_GRID("03"),
    "$end"};
constexpr int kOps[] = {kOpErase,  kOpBlank,  kOpWrite,     kOpVerify,
                        kOpConfig, kOpReadId, kOpReadConfig};
}  // namespace lpc901

class LPC901 final : public ShifterEngine {
 public:
  static constexpr std::string_view kRequiredItems = "len=";
  static constexpr std::array<Lpc900Type, 14> kTypes = {{
      {.name = "Exit"},
      {.name = "LPC90x/91x 8PIN",
       .bitstream = "lpc901.bit",
       .vccPin = 17,
       .groundPin = 24,
       .contactMask = 0x00FF0000},
      {.name = "LPC90x/91x 14PIN",
       .bitstream = "lpc910.bit",
       .vccPin = 30,
       .groundPin = 10,
       .contactMask = 0x3F8001FC0},
      {.name = "LPC90x/91x 16PIN",
       .bitstream = "lpc910.bit",
       .vccPin = 30,
       .groundPin = 10,
       .contactMask = 0x3FC003FC0},
      {},
      {},
      {},
      {},
      {},
      {},
      {.name = "Isp", .bitstream = "lpc910pIsp.bit", .vccPin = 22},
      {.name = "LPC90x/91x 8PIN",
       .bitstream = "lpc901.bit",
       .vccPin = 17,
       .groundPin = 24,
       .contactMask = 0x00FF0000},
      {.name = "LPC90x/91x 14PIN",
       .bitstream = "lpc910p14.bit",
       .vccPin = 23,
       .groundPin = 17,
       .contactMask = 0x01C18000},
      {.name = "LPC90x/91x 16PIN",
       .bitstream = "lpc910p16.bit",
       .vccPin = 24,
       .groundPin = 16,
       .contactMask = 0x3FC003FC0},
  }};

 private:
  std::span<const Lpc900Type> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return lpc901::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return lpc900::kConfig; }
  std::span<const int> Operations() const override { return lpc901::kOps; }
};

}  // namespace zelvar::mcs51
