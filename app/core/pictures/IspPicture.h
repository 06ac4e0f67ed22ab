#pragma once
// The in-system-programming picture: the 10-pin header and a colour legend of its signals.
#include <cstdint>
#include <string>
#include <vector>

#include "app/core/pictures/Geometry.h"

namespace zelvar {

// Colours as 0x00BBGGRR, indexed by a legend entry's first digit.
std::uint32_t IspLegendColour(char digit);

struct IspHeaderPin {
  int number = 0;
  Box square;  // 20 x 20
  Point label;
};

// The ten header pins: upper row 9, 7, 5, 3, 1 and lower row 10, 8, 6, 4, 2, left to right.
std::vector<IspHeaderPin> IspHeaderPins();

struct IspLegendRow {
  std::uint32_t colour = 0;
  Box swatch;  // 16 x 8
  Point text;
  std::string line;
};

// One row per entry up to the first one that begins with 'e', at most 10.
std::vector<IspLegendRow> IspLegendRows(const std::vector<std::string>& legend);

}  // namespace zelvar
