#include "pagecount/paper_names.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace foliotally::pdf {

namespace {

constexpr double kMmPerPoint = 25.4 / 72;
constexpr double kMmPerInch = 25.4;

constexpr Paper Inches(std::string_view name, double short_in, double long_in,
                       std::string_view landscape_name = {}) {
  return {name, short_in * kMmPerInch, long_in * kMmPerInch, landscape_name};
}

constexpr std::array kPapers = {
    Paper{"A0", 841, 1189},
    Paper{"A1", 594, 841},
    Paper{"A2", 420, 594},
    Paper{"A3", 297, 420},
    Paper{"A4", 210, 297},
    Paper{"A5", 148, 210},
    Paper{"A6", 105, 148},
    Paper{"A7", 74, 105},
    Paper{"A8", 52, 74},
    Paper{"A9", 37, 52},
    Paper{"A10", 26, 37},
    Paper{"B0", 1000, 1414},
    Paper{"B1", 707, 1000},
    Paper{"B2", 500, 707},
    Paper{"B3", 353, 500},
    Paper{"B4", 250, 353},
    Paper{"B5", 176, 250},
    Paper{"B6", 125, 176},
    Paper{"B7", 88, 125},
    Paper{"B8", 62, 88},
    Paper{"B9", 44, 62},
    Paper{"B10", 31, 44},
    Paper{"C4", 229, 324},
    Paper{"C5", 162, 229},
    Paper{"C6", 114, 162},
    Inches("Letter", 8.5, 11),
    Inches("Legal", 8.5, 14),
    Inches("Tabloid", 11, 17, "Ledger"),
    Inches("Executive", 7.25, 10.5),
    Inches("ANSI C", 17, 22),
    Inches("ANSI D", 22, 34),
    Inches("ANSI E", 34, 44),
    Inches("Arch A", 9, 12),
    Inches("Arch B", 12, 18),
    Inches("Arch C", 18, 24),
    Inches("Arch D", 24, 36),
    Inches("Arch E", 36, 48),
};

}  // namespace

std::span<const Paper> PaperTable() { return kPapers; }

double ToleranceMm(double side_mm) {
  if (side_mm <= 150) return 1.5;
  if (side_mm <= 600) return 2;
  return 3;
}

PaperName NamePaper(double width_pt, double height_pt) {
  const double width_mm = width_pt * kMmPerPoint;
  const double height_mm = height_pt * kMmPerPoint;
  const long long width_whole = std::llround(width_mm);
  const long long height_whole = std::llround(height_mm);
  PaperName out;
  out.orientation = width_whole == height_whole ? Orientation::kSquare
                    : width_mm > height_mm      ? Orientation::kLandscape
                                                : Orientation::kPortrait;
  const double short_mm = std::min(width_mm, height_mm);
  const double long_mm = std::max(width_mm, height_mm);
  const Paper* best = nullptr;
  double best_off = 0;
  for (const Paper& p : kPapers) {
    const double short_off = std::abs(short_mm - p.short_mm);
    const double long_off = std::abs(long_mm - p.long_mm);
    if (short_off > ToleranceMm(p.short_mm) || long_off > ToleranceMm(p.long_mm)) continue;
    if (!best || short_off + long_off < best_off) {
      best = &p;
      best_off = short_off + long_off;
    }
  }
  if (!best) {
    out.paper = std::to_string(width_whole) + "x" + std::to_string(height_whole) + " mm";
  } else if (out.orientation == Orientation::kLandscape && !best->landscape_name.empty()) {
    out.paper = best->landscape_name;
  } else {
    out.paper = best->name;
  }
  return out;
}

std::string_view OrientationWord(Orientation orientation) {
  switch (orientation) {
    case Orientation::kPortrait:
      return "portrait";
    case Orientation::kLandscape:
      return "landscape";
    case Orientation::kSquare:
      return "square";
  }
  return "portrait";
}

}  // namespace foliotally::pdf
