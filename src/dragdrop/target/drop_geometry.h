// Points and rectangles of the drop target, in pixels. A rectangle holds its left and top
// edges but not its right and bottom ones.
#pragma once

#include <cstdint>

namespace foliotally::dragdrop {

struct TPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const TRect&) const = default;

  bool Contains(TPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

}  // namespace foliotally::dragdrop
