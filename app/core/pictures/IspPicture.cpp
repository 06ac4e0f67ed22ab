#include "app/core/pictures/IspPicture.h"

#include <array>

namespace zelvar {

std::uint32_t IspLegendColour(char digit) {
  static constexpr std::array<std::uint32_t, 10> kColours = {0x000000, 0x008000, 0x000000, 0x000080,
                                                             0x0000FF, 0x00FFFF, 0xFFFFFF, 0xFF007F,
                                                             0x007FFF, 0xFF0000};
  // A line that does not start with a digit has no colour of its own: black.
  if (digit < '0' || digit > '9') return 0x000000;
  return kColours[digit - '0'];
}

std::vector<IspHeaderPin> IspHeaderPins() {
  std::vector<IspHeaderPin> pins;
  for (int i = 0; i < 10; ++i) {
    const int x = 30 * (i / 2) + 16;
    const int y = i % 2 ? 16 : 46;
    pins.push_back({10 - i, {x, y, x + 20, y + 20}, {x + 4, y + 4}});
  }
  return pins;
}

std::vector<IspLegendRow> IspLegendRows(const std::vector<std::string>& legend) {
  std::vector<IspLegendRow> rows;
  for (const std::string& entry : legend) {
    if (rows.size() == 10 || (!entry.empty() && entry[0] == 'e')) break;
    const int k = static_cast<int>(rows.size());
    const char digit = entry.empty() ? '0' : entry[0];
    rows.push_back(
        {IspLegendColour(digit), {16, 16 * k + 10, 32, 16 * k + 18}, {36, 16 * k + 6}, entry});
  }
  return rows;
}

}  // namespace zelvar
