// Names of paper sizes: the one table the command-line counter and the window both use.
//
// A page is a paper of the table when both its sides lie within the tolerance of the
// paper's sides: ISO 216 allows ±1.5 mm for a side up to 150 mm, ±2 mm up to 600 mm and
// ±3 mm above. The North American sizes (ANSI/ASME Y14.1 and the architectural sizes) are
// defined in exact inches without a tolerance of their own; the same grades apply to them,
// which keeps every pair of papers in the table apart (the closest, Letter and A4, differ by
// 5.9 mm on their short sides) while taking in the rounding of a size written in whole
// points or in millimetres. Any other size is named by its width and height in whole
// millimetres, as "210x99 mm".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace foliotally::pdf {

enum class Orientation : uint8_t { kPortrait, kLandscape, kSquare };

struct Paper {
  std::string_view name;
  double short_mm;
  double long_mm;
  // The name of the same paper lying on its long side, where it has its own (Ledger).
  std::string_view landscape_name = {};
};

// Every paper the namer knows, ISO first.
std::span<const Paper> PaperTable();

// How far a side of `side_mm` may lie from its paper's.
double ToleranceMm(double side_mm);

struct PaperName {
  std::string paper;  // "A4", "Letter", or "210x99 mm"
  Orientation orientation = Orientation::kPortrait;
};

// The paper and orientation of a page of `width_pt` by `height_pt` points (after rotation).
// Square: both sides are the same in whole millimetres.
PaperName NamePaper(double width_pt, double height_pt);

// "portrait", "landscape" or "square".
std::string_view OrientationWord(Orientation orientation);

}  // namespace foliotally::pdf
