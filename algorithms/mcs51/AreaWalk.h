#pragma once
// Type rows of the 8051 parts whose code lies in two areas of the address space (a code area from
// 0 and a second area higher up, with a hole between them on the smaller types), and the walk
// that Read, Blank, Verify and Write take over them.
#include <array>
#include <cstdint>
#include <string_view>

#include "algorithms/TypeRules.h"

namespace zelvar::mcs51 {

struct TwoAreaType {
  std::string_view name;
  std::uint32_t firstAreaEnd = 0;     // the first address after the code area
  std::uint32_t secondAreaStart = 0;  // where the second area begins
  std::uint32_t lastAddress = 0;
};

// An area of the walk, first .. last; empty when first > last.
struct AreaSpan {
  std::uint32_t first = 1;
  std::uint32_t last = 0;
};

// The walk: 0 up to the code area's end, then the second area up to the last address; one span
// when the areas touch.
constexpr std::array<AreaSpan, 2> WalkOf(const TwoAreaType& t) {
  if (t.firstAreaEnd >= t.secondAreaStart) return {{{0, t.lastAddress}, {}}};
  return {{{0, t.firstAreaEnd - 1}, {t.secondAreaStart, t.lastAddress}}};
}

// Areas of whole `page`-byte pages inside 16 address lines, in order.
inline void CheckTwoAreaRow(const TwoAreaType& t, std::uint32_t page, TypeTableReport& r) {
  if (t.name.empty()) r.Fault("no caption");
  if (t.lastAddress > 0xFFFF || t.lastAddress < 0xFF) r.Fault("size outside the 16 address lines");
  if (t.firstAreaEnd == 0 || t.firstAreaEnd > t.secondAreaStart ||
      t.secondAreaStart > t.lastAddress + 1) {
    r.Fault("areas out of order");
  }
  if (t.firstAreaEnd % page != 0 || t.secondAreaStart % page != 0 ||
      (t.lastAddress + 1) % page != 0) {
    r.Fault("areas not whole pages");
  }
}

}  // namespace zelvar::mcs51
