// The size of a page as a viewer shows it, from the attributes the page walk resolved: the
// crop box (the media box where there is none) clipped to the media box, turned by /Rotate
// and scaled by /UserUnit. Whatever cannot be read leaves the size unknown; nothing here
// falls back to a default paper.
#pragma once

#include <cstdint>
#include <optional>

#include "pagecount/page_walk.h"
#include "pagecount/pdf_object.h"

namespace foliotally::pdf {

// Which box gives the size: the visible one, or the trim box of print-ready files (the
// crop box where a page has no usable trim box).
enum class SizeBox : uint8_t { kCrop, kTrim };

struct PageSize {
  double width_pt = 0;  // after rotation, in points (1/72 inch)
  double height_pt = 0;
};

struct Rect {
  double left = 0, bottom = 0, right = 0, top = 0;
  double Width() const { return right - left; }
  double Height() const { return top - bottom; }
};

// A box: an array of exactly four finite numbers, its corners in either order, with an area.
std::optional<Rect> ReadBox(const Object& box);
// The overlap of two boxes, when it has an area.
std::optional<Rect> Intersect(const Rect& a, const Rect& b);
// Quarter turns clockwise (0 to 3) of a /Rotate value: absent or null is none; an integer
// multiple of 90 of any sign and size counts modulo 360; anything else is unreadable.
std::optional<int> ReadQuarterTurns(const Object& rotate);
// Points per unit of a /UserUnit value: absent or null is 1; a number above 0 and at most
// kMaxUserUnit is taken; anything else is unreadable.
inline constexpr double kMaxUserUnit = 75000;
std::optional<double> ReadUserUnit(const Object& user_unit);

// The page's size, or nothing when it cannot be known.
std::optional<PageSize> MeasurePage(const WalkedPage& page, SizeBox box);

}  // namespace foliotally::pdf
