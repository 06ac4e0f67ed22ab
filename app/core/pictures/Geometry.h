#pragma once
// Plain shapes for the drawing models: what a picture holds, independent of how it is painted.
namespace zelvar {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// Corners (left, top) and (right, bottom), as the painter's rectangle and ellipse calls take them.
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Box&) const = default;
};

// The lever ("spanner") mark of the socket: a circle in a 10 x 10 square and its text.
struct LeverMark {
  Box circle;
  Point text;
};

}  // namespace zelvar
