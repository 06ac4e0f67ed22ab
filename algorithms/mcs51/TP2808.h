#pragma once
// "TP2808": the TP28xx parts and the 128 KB PT2808, whose upper 64 KB c6 selects; when the first
// byte of the upper half is 0xFF or 0x00, the part's last 128 bytes are written as 0xFF.
#include <algorithm>
#include <array>
#include <vector>

#include "algorithms/mcs51/Tp28Engine.h"

namespace zelvar::mcs51 {

class TP2808 final : public Tp28Set {
 public:
  static constexpr std::array<ParallelType, 7> kTypes = {{
      {.name = "Exit"},
      {.name = "1: 51", .lastAddress = 4095},
      {.name = "2: 52", .lastAddress = 8191},
      {.name = "3: 54", .lastAddress = 16383},
      {.name = "4: 58", .lastAddress = 32767},
      {.name = "5: ???", .lastAddress = 65535},
      {.name = "6: PT2808", .lastAddress = 131071},
  }};

  static void CheckRow(const ParallelType& t, TypeTableReport& r) { CheckTpRow(t, 0x1FFFF, r); }

 private:
  static constexpr Tp28Policy kPolicy{.a16 = true};
  static constexpr const char* kDescribe[] = {
      "$Fonc:",         "21 Erase",           "22 Blank",
      "23 Write",       "24 Verify",          " Lock",
      "$DisTool:",      "25,26,28,29,30,31,", "$Radio1:00,ISP(复位地址)",
      "1F000 to 1FFFF", "1F200 to 1FFFF",     "1F400 to 1FFFF",
      "1F600 to 1FFFF", "1F800 to 1FFFF",     "1FA00 to 1FFFF",
      "1FC00 to 1FFFF", "1fE00 to 1FFFF",     "$end"};

  const Tp28Policy& Policy() const override { return kPolicy; }
  std::size_t RowCount() const override { return kTypes.size(); }
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  void PatchImage(std::vector<std::uint8_t>& image) const override {
    if (image.size() <= 0x1FFFF || (image[0x10000] != 0xFF && image[0x10000] != 0x00)) return;
    std::fill(image.begin() + 0x1FF80, image.end(), 0xFF);
  }
};

}  // namespace zelvar::mcs51
