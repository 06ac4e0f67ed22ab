#pragma once
// "P89LPC932": the P89LPC932 in its 28- and 20-pin packages (rows 1 and 2; rows 11 and 12 on
// models 6300 and up) and the 14- and 8-pin packages (rows 3 and 13: no socket supply, no contact
// test), through the register front end. The page size comes from "sec=", the size from "len=".
#include <array>
#include <span>

#include "algorithms/mcs51/Lpc900Engine.h"

namespace zelvar::mcs51 {

namespace lpc900 {
// The "$Gridw:" rows both LPC900 sets show: boot vector, boot status and Sec0 to Sec7 (words 64
// to 73), then four spare cells.
#define ZELVAR_LPC900_GRID(sec)                                                                    \
  "$Gridw:Option", "Vector(复位矢量)", "0FC", "Status(复位设置)", "0FF", "Sec0", sec, "Sec1", sec, \
      "Sec2", sec, "Sec3", sec, "Sec4", sec, "Sec5", sec, "Sec6", sec, "Sec7", sec, "00", "00",    \
      "00", "00"
constexpr const char* kConfig[] = {
    "0: (只有一种类型)",   "n=FOSC0,v=1,a=0,b=0", "n=FOSC1,v=1,a=0,b=1",
    "n=FOSC2,v=1,a=0,b=2", "n=WDSE,v=1,a=0,b=4",  "n=BOE,v=1,a=0,b=5",
    "n=RPE,v=1,a=0,b=6",   "n=WDTE,v=1,a=0,b=7",  "$end"};
}  // namespace lpc900

namespace p89lpc932 {
constexpr const char* kDescribe[] = {"$Fonc:",
                                     "21 Erase",
                                     "23 Write",
                                     "25 Config",
                                     "$DisTool:",
                                     "22,24,26,27,30,31,",
                                     ZELVAR_LPC900_GRID("00"),
                                     "$end"};
constexpr int kOps[] = {kOpErase,  kOpBlank, kOpWrite,  kOpVerify,
                        kOpConfig, kOpRead,  kOpReadId, kOpReadConfig};
}  // namespace p89lpc932

class P89LPC932 final : public RegisterEngine {
 public:
  static constexpr std::string_view kRequiredItems = "len= sec=";
  static constexpr std::array<Lpc900Type, 14> kTypes = {{
      {.name = "Exit"},
      {.name = "1: DIP28",
       .bitstream = "p89lpc932.bit",
       .vccPin = 30,
       .groundPin = 10,
       .contactMask = 0x1FFF81FFF8,
       .placeRow = 4,
       .placePins = 28},
      {.name = "2: DIP20",
       .bitstream = "p89lpc932.bit",
       .vccPin = 30,
       .groundPin = 10,
       .contactMask = 0x7FE007FE0,
       .placeRow = 6,
       .placePins = 20},
      {.name = "4: DIP8", .bitstream = "p89lpc932.bit"},
      {},
      {},
      {},
      {},
      {},
      {},
      {.name = "Exit"},
      {.name = "1: DIP28",
       .bitstream = "p89lpc932p28.bit",
       .vccPin = 27,
       .groundPin = 13,
       .contactMask = 0x3FC01F00},
      {.name = "2: DIP20",
       .bitstream = "p89lpc932p20.bit",
       .vccPin = 25,
       .groundPin = 15,
       .contactMask = 0x3FE0FC00},
      {.name = "4: DIP8", .bitstream = "p89lpc932p14.bit"},
  }};

 private:
  std::span<const Lpc900Type> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return p89lpc932::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return lpc900::kConfig; }
  std::span<const int> Operations() const override { return p89lpc932::kOps; }
};

}  // namespace zelvar::mcs51
