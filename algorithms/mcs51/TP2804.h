#pragma once
// "TP2804": the TP28xx parts up to 64 KB (51/52/54/58 sizes and the PT2804); the top byte of the
// part is written as 0xFF.
#include <array>
#include <vector>

#include "algorithms/mcs51/Tp28Engine.h"

namespace zelvar::mcs51 {

class TP2804 final : public Tp28Set {
 public:
  static constexpr std::array<ParallelType, 6> kTypes = {{
      {.name = "Exit"},
      {.name = "1: 51", .lastAddress = 4095},
      {.name = "2: 52", .lastAddress = 8191},
      {.name = "3: 54", .lastAddress = 16383},
      {.name = "4: 58", .lastAddress = 32767},
      {.name = "5: PT2804", .lastAddress = 65535},
  }};

  static void CheckRow(const ParallelType& t, TypeTableReport& r) { CheckTpRow(t, 0xFFFF, r); }

 private:
  static constexpr Tp28Policy kPolicy{.a16 = false};
  static constexpr const char* kDescribe[] = {
      "$Fonc:",       "21 Erase",           "22 Blank",
      "23 Write",     "24 Verify",          " Lock",
      "$DisTool:",    "25,26,28,29,30,31,", "$Radio1:07,ISP(复位地址)",
      "F000 to FFFF", "F200 to FFFF",       "F400 to FFFF",
      "F600 to FFFF", "F800 to FFFF",       "FA00 to FFFF",
      "FC00 to FFFF", "FE00 to FFFF",       "$end"};

  const Tp28Policy& Policy() const override { return kPolicy; }
  std::size_t RowCount() const override { return kTypes.size(); }
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  void PatchImage(std::vector<std::uint8_t>& image) const override {
    if (image.size() > 0xFFFF) image[0xFFFF] = 0xFF;
  }
};

}  // namespace zelvar::mcs51
