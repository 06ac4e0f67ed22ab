#include "app/core/pictures/Placement.h"

namespace zelvar {
namespace {

bool TurnedSocket(int model) {
  return model == 411 || model == 5105 || model == 5106;
}
bool FortyEightPins(int model) {
  return model == 5148 || model == 5149 || model >= 6200;
}

void AddSocketRow(std::vector<Box>& out, int cx, int y) {
  out.push_back({cx - 30, y, cx - 10, y + 4});
  out.push_back({cx + 10, y, cx + 30, y + 4});
}

}  // namespace

PlacementDrawing MakePlacementDrawing(int model, int firstRow, int pinCount, int pin1Side,
                                      int width) {
  PlacementDrawing d;
  const int cx = width / 2;
  const int half = pinCount / 2;
  d.flipped = TurnedSocket(model);
  d.firstRow = d.flipped ? 20 - firstRow - half + 2 : firstRow;
  d.lastRow = d.firstRow + half - 1;

  Point mark{cx - 40, 30};
  if (FortyEightPins(model)) {
    for (int y : {18, 26, 34, 42}) AddSocketRow(d.socket, cx, y);
    mark = {cx - 40, 3};
  } else if (d.flipped) {
    mark = {cx + 30, 210};
  }
  d.lever = {{mark.x, mark.y, mark.x + 10, mark.y + 10}, {mark.x + 15, mark.y}};

  for (int r = 1; r <= 20; ++r) AddSocketRow(d.socket, cx, 50 + 8 * (r - 1));
  for (int r = 1; r <= 20; ++r) {
    if (r < d.firstRow || r > d.lastRow) continue;
    const int y = 50 + 8 * (r - 1);
    d.chipPins.push_back({cx - 14, y, cx - 10, y + 4});
    d.chipPins.push_back({cx + 10, y, cx + 14, y + 4});
  }

  const int upper = 8 * (d.firstRow - 1) + 48;
  const int lower = upper + 8 * half;
  d.body = {cx - 10, upper, cx + 10, lower};
  d.pin1AtLowerEnd = static_cast<int>(d.flipped) != pin1Side;
  const int end = d.pin1AtLowerEnd ? lower : upper;
  d.pin1Circle = {cx - 4, end - 4, cx + 4, end + 4};
  d.pin1Text = d.pin1AtLowerEnd ? Point{cx + 35, lower - 10} : Point{10, upper - 4};
  for (int i = 0; i <= 4; ++i) {
    const int y = d.pin1AtLowerEnd ? lower + i : upper - i;
    d.pin1Clear.push_back({cx - 4, y, cx + 4, y});
  }
  return d;
}

std::string PlacementFolder(int model) {
  return TurnedSocket(model) ? "Place2/" : "Place/";
}

}  // namespace zelvar
