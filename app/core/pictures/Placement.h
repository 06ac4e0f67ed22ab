#pragma once
// The placement picture: the 40-pin socket (48 on the larger models), the chip over its rows and
// the end where its pin 1 lies; and the folder its picture files come from.
#include <string>
#include <vector>

#include "app/core/pictures/Geometry.h"

namespace zelvar {

inline constexpr int kPlacementPictureWidth = 161;
inline constexpr int kPlacementPictureHeight = 273;

struct PlacementDrawing {
  bool flipped = false;     // the socket sits turned on this model
  int firstRow = 0;         // first socket row under the chip, after the turn
  int lastRow = 0;          // last socket row under the chip
  std::vector<Box> socket;  // green outlines: extra rows first, then rows 1 to 20
  LeverMark lever;
  std::vector<Box> chipPins;  // black outlines, two per row under the chip
  Box body;
  bool pin1AtLowerEnd = false;
  Box pin1Circle;
  Point pin1Text;
  std::vector<Box> pin1Clear;  // white lines (left, y)-(right, y) that open the pin-1 notch
};

// `pin1Side` 0 puts pin 1 at the upper end of an unturned socket, 1 at the lower end.
PlacementDrawing MakePlacementDrawing(int model, int firstRow, int pinCount, int pin1Side,
                                      int width = kPlacementPictureWidth);

// The picture folder for `model`, with its trailing "/": "Place2/" on the turned sockets.
std::string PlacementFolder(int model);

}  // namespace zelvar
