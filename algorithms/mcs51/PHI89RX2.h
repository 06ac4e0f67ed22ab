#pragma once
// "PHI89RX2": the Philips P89C51RA2 to RD2 in the parallel mode of the Philips-type engine: byte
// writes after an identity check, chip erase by long strobes, security bits, status byte, boot
// vector and the 6-clock bit.
#include <span>

#include "algorithms/mcs51/PhiRx2Engine.h"
#include "algorithms/mcs51/Rx2Engine.h"

namespace zelvar::mcs51 {

namespace phi89rx2 {
constexpr const char* kDescribe[] = {
    "$Fonc:",           "21 Erase",    "22 Blank",       "23 Write", "25 Config",
    "24 Verify",        "26 Security", "$DisTool:",      "30,31,",   "$Gridw:Option",
    "Status(复位设置)", "0FF",         "Vect(复位矢量)", "0FC",      "$end"};
}  // namespace phi89rx2

class PHI89RX2 final : public PhiRx2Set {
 public:
  static constexpr auto kTypes = kRx2Types;

 private:
  std::span<const ParallelType> Types() const override { return kTypes; }
  std::span<const char* const> DescribeList() const override { return phi89rx2::kDescribe; }
};

}  // namespace zelvar::mcs51
