// The paper table: each paper within its tolerance and no further, orientation, and the
// name of a size the table does not hold.
#include "pagecount/paper_names.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace foliotally::pdf {
namespace {

constexpr double kPointsPerMm = 72 / 25.4;

std::string Named(double width_mm, double height_mm) {
  const PaperName name = NamePaper(width_mm * kPointsPerMm, height_mm * kPointsPerMm);
  return name.paper + " " + std::string(OrientationWord(name.orientation));
}

TEST(PaperNames, CommonPapersInBothOrientations) {
  EXPECT_EQ(NamePaper(595.276, 841.89).paper, "A4");
  EXPECT_EQ(NamePaper(595, 842).paper, "A4");  // in whole points, as many tools write it
  EXPECT_EQ(Named(297, 210), "A4 landscape");
  EXPECT_EQ(NamePaper(612, 792).paper, "Letter");
  EXPECT_EQ(NamePaper(792, 612).paper, "Letter");
  EXPECT_EQ(NamePaper(612, 1008).paper, "Legal");
  EXPECT_EQ(NamePaper(792, 1224).paper, "Tabloid");
  EXPECT_EQ(NamePaper(1224, 792).paper, "Ledger");  // Tabloid lying on its long side
  EXPECT_EQ(NamePaper(522, 756).paper, "Executive");
  EXPECT_EQ(NamePaper(1224, 1584).paper, "ANSI C");
  EXPECT_EQ(NamePaper(2448, 3168).paper, "ANSI E");
  EXPECT_EQ(NamePaper(648, 864).paper, "Arch A");
  EXPECT_EQ(NamePaper(2592, 3456).paper, "Arch E");
  EXPECT_EQ(Named(1000, 1414), "B0 portrait");
  EXPECT_EQ(Named(31, 44), "B10 portrait");
  EXPECT_EQ(Named(26, 37), "A10 portrait");
  EXPECT_EQ(Named(841, 1189), "A0 portrait");
  EXPECT_EQ(Named(229, 324), "C4 portrait");
  EXPECT_EQ(Named(114, 162), "C6 portrait");
}

TEST(PaperNames, ToleranceGrowsWithTheSideAndEndsThere) {
  // Up to 150 mm: 1.5 mm (A6's short side, 105 mm).
  EXPECT_EQ(Named(105 + 1.4, 148), "A6 portrait");
  EXPECT_EQ(Named(105 + 1.6, 148), "107x148 mm portrait");
  // Up to 600 mm: 2 mm (A4).
  EXPECT_EQ(Named(210 - 1.9, 297 + 1.9), "A4 portrait");
  EXPECT_EQ(Named(210, 297 + 2.1), "210x299 mm portrait");
  // Above: 3 mm (A0's long side).
  EXPECT_EQ(Named(841, 1189 - 2.9), "A0 portrait");
  EXPECT_EQ(Named(841, 1189 - 3.1), "841x1186 mm portrait");
  EXPECT_EQ(ToleranceMm(150), 1.5);
  EXPECT_EQ(ToleranceMm(600), 2);
  EXPECT_EQ(ToleranceMm(600.1), 3);
}

TEST(PaperNames, NoTwoPapersOfTheTableOverlap) {
  // Were two papers within each other's tolerance, a page between them would take
  // whichever came first: each must be named as itself.
  for (const Paper& p : PaperTable()) {
    const PaperName name = NamePaper(p.short_mm * kPointsPerMm, p.long_mm * kPointsPerMm);
    EXPECT_EQ(name.paper, p.name);
    for (const Paper& q : PaperTable()) {
      if (&p == &q) continue;
      const bool overlap =
          std::abs(p.short_mm - q.short_mm) <= ToleranceMm(p.short_mm) + ToleranceMm(q.short_mm) &&
          std::abs(p.long_mm - q.long_mm) <= ToleranceMm(p.long_mm) + ToleranceMm(q.long_mm);
      EXPECT_FALSE(overlap) << p.name << " and " << q.name;
    }
  }
}

TEST(PaperNames, OtherSizesByTheirMillimetresAndSquareWhenTheyRoundAlike) {
  EXPECT_EQ(Named(210, 99), "210x99 mm landscape");
  EXPECT_EQ(Named(99.4, 210.4), "99x210 mm portrait");
  EXPECT_EQ(Named(100.2, 99.8), "100x100 mm square");
  EXPECT_EQ(NamePaper(1, 1).paper, "0x0 mm");
  EXPECT_EQ(NamePaper(14400 * 75000.0, 10).paper, "381000000x4 mm");
}

}  // namespace
}  // namespace foliotally::pdf
