#pragma once
// "T89C51RC2": the Rx2 parts up to 32 KB, without VPP on EA (a logic level only) and without
// address bit 15; Security writes the HSB of the config rows, as its sibling sets do.
#include <span>

#include "algorithms/mcs51/Rx2Engine.h"

namespace zelvar::mcs51 {

namespace t89c51rc2 {

constexpr Rx2Policy kPolicy{
    .entryCode = false,
    .vppOnEa = false,
    .address15 = false,
    .read64 = false,
    .pageStrobes = 1,
    .erasePage = false,
    .hsbAfterErase = true,
    .hsbCommitPattern = false,
    .logSecurity = false,
    .configFormat = "BSB=%02x,BSV=%02x,HSB=%02x,SSB=%02x; ID=%02x,%02x,%02x"};
constexpr const char* kDescribe[] = {
    "$Fonc:",           "21 Erase",    "22 Blank",       "23 Write", "25 WrConfig",
    "24 Verify",        "26 Security", "$DisTool:",      "30,31,",   "$Gridw:Option",
    "Status(复位设置)", "0FF",         "Vect(复位矢量)", "0FC",      "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)", "$end"};

}  // namespace t89c51rc2

class T89C51RC2 final : public Rx2Set {
 public:
  static constexpr auto kTypes = kRc2Types;

 private:
  const Rx2Policy& Policy() const override { return t89c51rc2::kPolicy; }
  std::span<const ParallelType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return t89c51rc2::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return t89c51rc2::kConfig; }
};

}  // namespace zelvar::mcs51
