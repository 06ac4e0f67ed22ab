#pragma once
// "T89C51RD2": the Rx2 parts without the entry code, read in 256-byte blocks, one long strobe
// per page, HSB 0x7F after an erase.
#include <span>

#include "algorithms/mcs51/Rx2Engine.h"

namespace zelvar::mcs51 {

namespace t89c51rd2 {

constexpr Rx2Policy kPolicy{
    .entryCode = false,
    .read64 = false,
    .pageStrobes = 1,
    .hsbAfterErase = true,
    .hsbCommitPattern = false,
    .configFormat = "BSB=%02x,BSV=%02x,HSB=%02x,SSB=%02x; ID=%02x,%02x,%02x"};
constexpr const char* kDescribe[] = {"$Fonc:",
                                     "21 Erase",
                                     "22 Blank",
                                     "23 Write",
                                     "25 WrConfig",
                                     "24 Verify",
                                     "26 Security",
                                     "$DisTool:",
                                     "30,31,",
                                     "$Gridw:Option",
                                     "Status(复位设置)",
                                     "0FF",
                                     "Vect(复位矢量)",
                                     "0FC",
                                     "SSB(软加密)",
                                     "0FF",
                                     "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=LB0(No ext movc),v=1,a=0,b=0",
                                   "n=LB1(加密),v=1,a=0,b=1",
                                   "n=LB2(ExtCode),v=1,a=0,b=2",
                                   "n=BLLB(ISP保护Boot),v=1,a=0,b=5",
                                   "n=BLJB(Boot FC03H),v=1,a=0,b=6",
                                   "$end"};

}  // namespace t89c51rd2

class T89C51RD2 final : public Rx2Set {
 public:
  static constexpr auto kTypes = kRx2Types;

 private:
  const Rx2Policy& Policy() const override { return t89c51rd2::kPolicy; }
  std::span<const ParallelType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return t89c51rd2::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return t89c51rd2::kConfig; }
};

}  // namespace zelvar::mcs51
