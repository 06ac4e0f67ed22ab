#pragma once
// "AT89C51RD2": Rx2 parts with 8 to 64 KB of flash, programmed in 128-byte pages after the
// programming-mode entry code, with the boot status, boot vector and security bytes.
#include <span>

#include "algorithms/mcs51/Rx2Engine.h"

namespace zelvar::mcs51 {

namespace at89c51rd2 {

constexpr Rx2Policy kPolicy{};
constexpr const char* kDescribe[] = {
    "$Fonc:",        "21 Erase",  "22 Blank",    "23 Write",      "25 WrConfig",   "24 Verify",
    "26 Security",   "$DisTool:", "30,31,",      "$Gridw:Option", "BSB(复位设置)", "0FF",
    "BSV(复位矢量)", "0FC",       "SSB(软加密)", "0FF",           "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=LB0(No ext movc),v=1,a=0,b=0",
                                   "n=LB1(加密),v=1,a=0,b=1",
                                   "n=LB2(ExtCode),v=1,a=0,b=2",
                                   "n=XRAM(Enable/Dis),v=1,a=0,b=3",
                                   "n=No used,v=1,a=0,b=4",
                                   "n=OSC,v=1,a=0,b=5",
                                   "n=BLJB,v=1,a=0,b=6",
                                   "n=X2 (12/6 colock),v=1,a=0,b=7",
                                   "$end"};

}  // namespace at89c51rd2

class AT89C51RD2 final : public Rx2Set {
 public:
  static constexpr auto kTypes = kRx2Types;

 private:
  const Rx2Policy& Policy() const override { return at89c51rd2::kPolicy; }
  std::span<const ParallelType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return at89c51rd2::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return at89c51rd2::kConfig; }
};

}  // namespace zelvar::mcs51
