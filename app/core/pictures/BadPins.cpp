#include "app/core/pictures/BadPins.h"

#include <algorithm>

namespace zelvar {

SocketLayout SocketLayoutFor(int model) {
  if (model == 5148 || model == 5149 || model >= 6200) return {48, false};
  if (model == 5105 || model == 5106) return {40, true};
  return {40, false};
}

Point SocketPinPosition(int pin, const SocketLayout& layout, int width, int height) {
  Point p;
  if (pin <= 20) {
    p = {0, 8 * pin};
  } else if (pin <= 44) {
    p = {50, 168 - 8 * (pin - 20)};
  } else {
    // Pins 45 to 48 continue the left column above pin 1.
    p = {0, 8 * (pin - 44) - 32};
  }
  p.x += 40;
  p.y += 50;
  if (layout.flipped) p = {width - p.x, height - p.y};
  return p;
}

BadPinDrawing MakeBadPinDrawing(int model, const std::vector<int>& badPins, int width, int height) {
  BadPinDrawing d;
  d.layout = SocketLayoutFor(model);
  d.lever = d.layout.flipped ? LeverMark{{90, 190, 100, 200}, {82, 205}}
                             : LeverMark{{30, 4, 40, 14}, {45, 4}};
  for (int pin = 1; pin <= d.layout.pins; ++pin) {
    const Point p = SocketPinPosition(pin, d.layout, width, height);
    d.pins.push_back({p.x, p.y, p.x + 10, p.y + 4});
  }
  const std::size_t count = std::min<std::size_t>(badPins.size(), d.layout.pins);
  for (std::size_t i = 0; i < count && badPins[i] != 0; ++i) {
    const int pin = badPins[i];
    if (pin < 1 || pin > d.layout.pins) continue;
    const Point p = SocketPinPosition(pin, d.layout, width, height);
    d.marked.push_back({p.x + 1, p.y + 1, p.x + 9, p.y + 3});
    d.markedPins.push_back(pin);
  }
  return d;
}

}  // namespace zelvar
