#pragma once
// The bad-pin picture: the socket's pins as green bars, the pins without contact with red centres.
#include <vector>

#include "app/core/pictures/Geometry.h"

namespace zelvar {

inline constexpr int kBadPinPictureWidth = 137;
inline constexpr int kBadPinPictureHeight = 225;

struct SocketLayout {
  int pins = 40;         // 40 or 48
  bool flipped = false;  // drawn turned by 180 degrees (the socket sits the other way round)
};

SocketLayout SocketLayoutFor(int model);

// Upper-left corner of socket pin `pin`'s bar (1 to layout.pins).
Point SocketPinPosition(int pin, const SocketLayout& layout, int width = kBadPinPictureWidth,
                        int height = kBadPinPictureHeight);

struct BadPinDrawing {
  SocketLayout layout;
  LeverMark lever;
  std::vector<Box> pins;    // green, one per socket pin, pin 1 first
  std::vector<Box> marked;  // red centres, in list order
  std::vector<int> markedPins;
};

// `badPins` is read up to its first 0 or the socket's pin count of entries; entries that are not
// pins of this socket (ground codes, stray numbers) are not drawn.
BadPinDrawing MakeBadPinDrawing(int model, const std::vector<int>& badPins,
                                int width = kBadPinPictureWidth, int height = kBadPinPictureHeight);

}  // namespace zelvar
