// The size of each page: boxes, their inheritance through the page tree, rotation, user
// units and the trim box; the walk's bounds on hostile trees; and the library's export.
#include "pagecount/page_sizes.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pagecount/byte_source.h"
#include "pagecount/foliotally.h"
#include "pagecount/pdf_parser.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::pdf {
namespace {

using test::MakePdfFromObjects;

struct Measured {
  CountResult count;
  std::vector<SizeGroup> groups;
  int64_t unknown = 0;
};

// A generous deadline: the large cases must finish on a loaded machine too; their speed is
// shown by the benchmarks.
Measured Measure(const std::string& bytes, SizeBox box = SizeBox::kCrop) {
  MemoryByteSource source(bytes);
  const Deadline deadline(600000);
  PageSizes sizes = MeasurePageSizes(source, deadline, box, [] {
    return CountResult{Verdict::kDamaged, 0, "no qpdf"};
  });
  return {sizes.count, sizes.sizes.groups(), sizes.sizes.unknown()};
}

// A file with one page whose dictionary holds `page_entries`, under a root holding
// `root_entries`, and `extra` objects from number 4 on.
std::string OnePage(const std::string& page_entries, const std::string& root_entries = "",
                    const std::vector<std::string>& extra = {}) {
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 " + root_entries + " >>",
      "<< /Type /Page /Parent 2 0 R " + page_entries + " >>"};
  bodies.insert(bodies.end(), extra.begin(), extra.end());
  return MakePdfFromObjects(bodies);
}

// The one page's size as "WxH", or "unknown".
std::string SizeOf(const std::string& bytes, SizeBox box = SizeBox::kCrop) {
  const Measured m = Measure(bytes, box);
  EXPECT_EQ(m.count.verdict, Verdict::kCounted);
  EXPECT_EQ(m.count.pages, 1);
  if (m.unknown == 1) return "unknown";
  if (m.groups.size() != 1) return "groups: " + std::to_string(m.groups.size());
  auto text = [](double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
  };
  return text(m.groups[0].width_pt) + "x" + text(m.groups[0].height_pt);
}

TEST(PageSize, BoxesAreReadInEveryWayAFileMayWriteThem) {
  EXPECT_EQ(SizeOf(OnePage("/MediaBox [0 0 595.276 841.89]")), "595.276x841.89");
  // Corners in any order, negative origins, reals with a bare point or sign.
  EXPECT_EQ(SizeOf(OnePage("/MediaBox [612 792 0 0]")), "612x792");
  EXPECT_EQ(SizeOf(OnePage("/MediaBox [-306 396 306.0 -396.]")), "612x792");
  EXPECT_EQ(SizeOf(OnePage("/MediaBox [+.5 -0.5 100.5 99.5]")), "100x100");
  // The box, or each of its numbers, as an indirect object.
  EXPECT_EQ(SizeOf(OnePage("/MediaBox 4 0 R", "", {"[0 0 200 300]"})), "200x300");
  EXPECT_EQ(SizeOf(OnePage("/MediaBox [0 0 4 0 R 5 0 R]", "", {"200", "300.5"})), "200x300.5");
}

TEST(PageSize, BrokenBoxesLeaveTheSizeUnknown) {
  for (const char* box : {"[0 0 612]", "[0 0 612 792 5]", "[0 0 /A 792]", "[0 0 612 (792)]",
                          "[0 0 0 792]", "[10 10 10 10]", "/Letter", "[]", "5 0 R",
                          "[0 0 612 10000000000000000000000000000000000000000000000000000000000000"
                          "000000000000000000000000000000000000000000000000000000000000000000000"
                          "000000000000000000000000000000000000000000000000000000000000000000000"
                          "000000000000000000000000000000000000000000000000000000000000000000000"
                          "000000000000000000000000000000000000000000000000000000000000000000000]"})
    EXPECT_EQ(SizeOf(OnePage(std::string("/MediaBox ") + box, "", {"null"})), "unknown") << box;
  // No media box at all: viewers assume a paper; this library does not guess.
  EXPECT_EQ(SizeOf(OnePage("")), "unknown");
}

TEST(PageSize, InheritedAttributesComeFromTheNearestNodeThatSetsThem) {
  // Root: media box and rotation; middle node: crop box; page: nothing of its own.
  const std::string tree = MakePdfFromObjects({
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R 5 0 R] /Count 3 /MediaBox [0 0 600 800] /Rotate 90 >>",
      "<< /Type /Pages /Parent 2 0 R /Kids [4 0 R] /Count 1 /CropBox [50 50 550 750] >>",
      "<< /Type /Page /Parent 3 0 R >>",
      "<< /Type /Pages /Parent 2 0 R /Kids [6 0 R 7 0 R] /Count 2 /Rotate null >>",
      "<< /Type /Page /Parent 5 0 R /Rotate 0 >>",
      "<< /Type /Page /Parent 5 0 R /MediaBox [0 0 100 200] >>",
  });
  const Measured m = Measure(tree);
  ASSERT_EQ(m.groups.size(), 3u);
  // First-seen order: the cropped, turned page; the unturned one; the turned small one.
  EXPECT_EQ(m.groups[0].width_pt, 700);
  EXPECT_EQ(m.groups[0].height_pt, 500);
  EXPECT_EQ(m.groups[1].width_pt, 600);
  EXPECT_EQ(m.groups[1].height_pt, 800);
  EXPECT_EQ(m.groups[2].width_pt, 200);
  EXPECT_EQ(m.groups[2].height_pt, 100);
}

TEST(PageSize, CropBoxIsClippedToTheMediaBox) {
  EXPECT_EQ(SizeOf(OnePage("/MediaBox [0 0 612 792] /CropBox [-100 -100 300 400]")), "300x400");
  // Outside the media box, or unreadable: the media box shows.
  EXPECT_EQ(SizeOf(OnePage("/MediaBox [0 0 612 792] /CropBox [700 800 900 900]")), "612x792");
  EXPECT_EQ(SizeOf(OnePage("/MediaBox [0 0 612 792] /CropBox [0 0 1]")), "612x792");
}

TEST(PageSize, RotationTurnsByAnyMultipleOfNinetyAndNothingElse) {
  const std::string box = "/MediaBox [0 0 100 200] /Rotate ";
  for (const char* turned : {"90", "-90", "270", "450", "-630", "90.0", "3600000000090"})
    EXPECT_EQ(SizeOf(OnePage(box + turned)), "200x100") << turned;
  for (const char* upright : {"0", "180", "-180", "360", "-720", "null"})
    EXPECT_EQ(SizeOf(OnePage(box + upright)), "100x200") << upright;
  for (const char* bad : {"45", "91", "90.5", "/R90", "(90)", "[90]"})
    EXPECT_EQ(SizeOf(OnePage(box + bad)), "unknown") << bad;
}

TEST(PageSize, UserUnitScalesAndAbsurdUnitsLeaveTheSizeUnknown) {
  const std::string box = "/MediaBox [0 0 612 792] /UserUnit ";
  EXPECT_EQ(SizeOf(OnePage(box + "2")), "1224x1584");
  EXPECT_EQ(SizeOf(OnePage(box + "0.5")), "306x396");
  EXPECT_EQ(SizeOf(OnePage(box + "null")), "612x792");
  for (const char* bad : {"0", "-1", "1000000000", "/Two", "75001"})
    EXPECT_EQ(SizeOf(OnePage(box + bad)), "unknown") << bad;
  // /UserUnit belongs to the page alone: a node's is not inherited.
  EXPECT_EQ(SizeOf(OnePage("/MediaBox [0 0 612 792]", "/UserUnit 2")), "612x792");
}

TEST(PageSize, TrimBoxIsTakenOnlyWhenAskedAndReadable) {
  const std::string page = "/MediaBox [0 0 612 792] /CropBox [0 0 600 780] /TrimBox ";
  EXPECT_EQ(SizeOf(OnePage(page + "[9 9 603 783]"), SizeBox::kTrim), "594x774");
  EXPECT_EQ(SizeOf(OnePage(page + "[9 9 603 783]"), SizeBox::kCrop), "600x780");
  // A broken trim box falls back to the crop box; one outside the media box too.
  EXPECT_EQ(SizeOf(OnePage(page + "[9 9 603]"), SizeBox::kTrim), "600x780");
  EXPECT_EQ(SizeOf(OnePage(page + "[900 900 1000 1000]"), SizeBox::kTrim), "600x780");
  // Not inherited either.
  EXPECT_EQ(SizeOf(OnePage("/MediaBox [0 0 612 792]", "/TrimBox [9 9 603 783]"), SizeBox::kTrim),
            "612x792");
}

TEST(PageSize, GroupsAreKeptToAThousandthOfAPoint) {
  const std::string tree = MakePdfFromObjects({
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count 3 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595.2756 841.8898] >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [10.1 10.1 605.3756 851.9898] >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595.28 841.89] >>",
  });
  const Measured m = Measure(tree);
  ASSERT_EQ(m.groups.size(), 2u);
  EXPECT_EQ(m.groups[0].pages, 2);
  EXPECT_DOUBLE_EQ(m.groups[0].width_pt, 595.276);
  EXPECT_EQ(m.groups[1].pages, 1);
}

TEST(PageSize, SizesAlwaysAddUpToTheCount) {
  // /Count 4 over a tree of two readable pages, a broken kid and a missing one: the count
  // stays the counter's, and what cannot be measured is unknown.
  const std::string tree = MakePdfFromObjects({
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R 4 0 R 3 0 R 9 0 R] /Count 4 /MediaBox [0 0 10 20] >>",
      "<< /Type /Page /Parent 2 0 R >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ] >>",
      "(a string, no dictionary)",
      // Objects enough for a /Count of 4 to be believed.
      "null",
      "null",
      "null",
      "null",
  });
  const Measured m = Measure(tree);
  EXPECT_EQ(m.count.pages, 4);
  ASSERT_EQ(m.groups.size(), 1u);
  // The page listed twice is shown twice, as viewers show it.
  EXPECT_EQ(m.groups[0].pages, 2);
  EXPECT_EQ(m.unknown, 2);
}

// Object 2 is the root; levels 3.. each hold the next as their only kid; the last a page.
std::string DeepTree(int levels) {
  std::string pdf = "%PDF-1.7\n";
  std::vector<size_t> offsets;
  auto add = [&](const std::string& body) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(offsets.size()) + " 0 obj " + body + " endobj\n";
  };
  add("<< /Type /Catalog /Pages 2 0 R >>");
  for (int i = 0; i < levels; ++i)
    add("<< /Type /Pages /Count 1 /Kids [" + std::to_string(offsets.size() + 2) + " 0 R] " +
        (i == 0 ? "/MediaBox [0 0 300 400] " : "") + ">>");
  add("<< /Type /Page >>");
  const size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
  char entry[24];
  for (size_t off : offsets) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", off);
    pdf += entry;
  }
  pdf += "trailer << /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

TEST(PageSizeBounds, ATreeAMillionLevelsDeepIsWalkedInBoundedMemory) {
  // The walk keeps only the kids waiting, so depth costs no memory; the page at the bottom
  // inherits the root's media box through a million levels.
  const Measured m = Measure(DeepTree(1000000));
  ASSERT_EQ(m.count.verdict, Verdict::kCounted);
  ASSERT_EQ(m.groups.size(), 1u);
  EXPECT_EQ(m.groups[0].width_pt, 300);
  EXPECT_EQ(m.groups[0].pages, 1);
}

TEST(PageSizeBounds, AMillionPagesAreAllMeasured) {
  std::vector<std::string> bodies = {"<< /Type /Catalog /Pages 2 0 R >>", ""};
  std::string kids;
  constexpr int kPages = 1000000;
  kids.reserve(kPages * 10);
  for (int i = 0; i < kPages; ++i) {
    kids += std::to_string(i + 3) + " 0 R ";
    bodies.push_back(i % 2 ? "<</Type/Page/Rotate 90>>" : "<</Type/Page>>");
  }
  bodies[1] = "<< /Type /Pages /Count " + std::to_string(kPages) +
              " /MediaBox [0 0 612 792] /Kids [" + kids + "] >>";
  const Measured m = Measure(MakePdfFromObjects(bodies));
  ASSERT_EQ(m.count.pages, kPages);
  ASSERT_EQ(m.groups.size(), 2u);
  EXPECT_EQ(m.groups[0].pages, kPages / 2);
  EXPECT_EQ(m.groups[1].pages, kPages / 2);
  EXPECT_EQ(m.unknown, 0);
}

TEST(PageSizeBounds, LoopsAndAnExpiredDeadlineEndTheWalkWithSizesUnknown) {
  const std::string loop = MakePdfFromObjects({
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R 2 0 R 4 0 R] /Count 2 /MediaBox [0 0 1 1] >>",
      "<< /Type /Pages /Kids [2 0 R 3 0 R 4 0 R] >>",
      "<< /Type /Page /Parent 2 0 R >>",
  });
  Measured m = Measure(loop);
  EXPECT_EQ(m.count.pages, 2);
  ASSERT_EQ(m.groups.size(), 1u);
  EXPECT_EQ(m.groups[0].pages, 2);  // the page is listed twice

  // Out of time before the walk: the count's own verdict, no size invented.
  MemoryByteSource source(loop);
  const Deadline passed(1);
  while (!passed.Passed()) {
  }
  const PageSizes late =
      MeasurePageSizes(source, passed, SizeBox::kCrop, [] { return CountResult{}; });
  EXPECT_TRUE(late.count.verdict == Verdict::kTimedOut || late.sizes.unknown() == late.count.pages);
}

TEST(PageSizeExport, CallerOwnedArrayAndErrorsAsTheCount) {
  test::TempDir dir;
  const std::string path =
      dir.Write("mixed.pdf", MakePdfFromObjects({
                                 "<< /Type /Catalog /Pages 2 0 R >>",
                                 "<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count 3 >>",
                                 "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>",
                                 "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 842 595] >>",
                                 "<< /Type /Page /Parent 2 0 R >>",
                             }));
  // Capacity 0: only the number of groups; nothing written, nothing to free.
  int32_t unknown = -1;
  EXPECT_EQ(
      GetFoliotallySizesAt(AT_FDCWD, path.c_str(), 0, FOLIOTALLY_BOX_CROP, nullptr, 0, &unknown),
      2);
  EXPECT_EQ(unknown, 1);
  // Capacity 1: the first group only, and the array is not overrun.
  FoliotallyPageSize sizes[3] = {{0, 0, -7}, {0, 0, -7}, {0, 0, -7}};
  EXPECT_EQ(GetFoliotallySizesAt(AT_FDCWD, path.c_str(), 0, FOLIOTALLY_BOX_CROP, sizes, 1, nullptr),
            2);
  EXPECT_EQ(sizes[0].width_pt, 612);
  EXPECT_EQ(sizes[0].pages, 1);
  EXPECT_EQ(sizes[1].pages, -7);
  EXPECT_EQ(GetFoliotallySizesAt(AT_FDCWD, path.c_str(), 0, 99, sizes, 3, &unknown), 2);
  EXPECT_EQ(sizes[1].width_pt, 842);
  EXPECT_EQ(sizes[2].pages, -7);
  // Through a descriptor, as GetFoliotallyFd reads it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_EQ(GetFoliotallySizesFd(fd, 0, FOLIOTALLY_BOX_TRIM, sizes, 3, &unknown), 2);
  ::close(fd);
  // Errors are the count's, and the unknown count is cleared.
  const std::string text = dir.Write("note.pdf", "no PDF here");
  for (const std::string& bad :
       {text, dir.path().string(), dir.path().string() + "/missing.pdf", std::string()}) {
    unknown = -1;
    EXPECT_EQ(GetFoliotallySizesAt(AT_FDCWD, bad.c_str(), 0, 0, sizes, 3, &unknown),
              GetFoliotally(bad.c_str()))
        << bad;
    EXPECT_EQ(unknown, 0);
  }
  EXPECT_EQ(GetFoliotallySizesAt(AT_FDCWD, nullptr, 0, 0, sizes, 3, nullptr),
            FOLIOTALLY_UNREADABLE);
  EXPECT_EQ(GetFoliotallySizesFd(-1, 0, 0, sizes, 3, nullptr), FOLIOTALLY_UNREADABLE);
}

// One reading for both: the count's verdict and reason exactly as GetFoliotallyCountAt gives
// them, with the sizes exactly as GetFoliotallySizesAt gives them.
TEST(PageSizeExport, CountAndSizesFromOneReadingAgreeWithBothExports) {
  test::TempDir dir;
  const std::string sound =
      dir.Write("sound.pdf", MakePdfFromObjects({
                                 "<< /Type /Catalog /Pages 2 0 R >>",
                                 "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                                 "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>",
                                 "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 842 595] >>",
                             }));
  // A /Count no tree can hold: the pages are walked, and the count is a recovered one.
  const std::string recovered =
      dir.Write("recovered.pdf", MakePdfFromObjects({
                                     "<< /Type /Catalog /Pages 2 0 R >>",
                                     "<< /Type /Pages /Kids [3 0 R] /Count 1000000 >>",
                                     "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>",
                                 }));
  const std::string text = dir.Write("note.pdf", "no PDF here");
  for (const std::string& path : {sound, recovered, text, dir.path().string(),
                                  dir.path().string() + "/missing.pdf", std::string()}) {
    FoliotallyCount alone{}, together{};
    GetFoliotallyCountAt(AT_FDCWD, path.c_str(), 0, &alone);
    FoliotallyPageSize sizes[4] = {}, alone_sizes[4] = {};
    int32_t unknown = -1, alone_unknown = -1;
    EXPECT_EQ(GetFoliotallyCountSizesAt(AT_FDCWD, path.c_str(), 0, FOLIOTALLY_BOX_CROP, &together,
                                        sizes, 4, &unknown),
              GetFoliotallySizesAt(AT_FDCWD, path.c_str(), 0, FOLIOTALLY_BOX_CROP, alone_sizes, 4,
                                   &alone_unknown))
        << path;
    EXPECT_EQ(together.pages, alone.pages) << path;
    EXPECT_EQ(together.verdict, alone.verdict) << path;
    EXPECT_STREQ(together.reason, alone.reason) << path;
    EXPECT_EQ(unknown, alone_unknown) << path;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(sizes[i].width_pt, alone_sizes[i].width_pt) << path;
      EXPECT_EQ(sizes[i].pages, alone_sizes[i].pages) << path;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    FoliotallyCount by_fd{}, alone_by_fd{};
    GetFoliotallyCountFd(fd, 0, &alone_by_fd);
    EXPECT_EQ(GetFoliotallyCountSizesFd(fd, 0, FOLIOTALLY_BOX_CROP, &by_fd, nullptr, 0, nullptr),
              GetFoliotallySizesFd(fd, 0, FOLIOTALLY_BOX_CROP, nullptr, 0, nullptr))
        << path;
    EXPECT_EQ(by_fd.verdict, alone_by_fd.verdict) << path;
    EXPECT_STREQ(by_fd.reason, alone_by_fd.reason) << path;
    if (fd >= 0) ::close(fd);
  }
  FoliotallyCount recovered_count{};
  GetFoliotallyCountSizesAt(AT_FDCWD, recovered.c_str(), 0, FOLIOTALLY_BOX_CROP, &recovered_count,
                            nullptr, 0, nullptr);
  EXPECT_EQ(recovered_count.verdict, FOLIOTALLY_RECOVERED);
  EXPECT_EQ(recovered_count.pages, 1);
  // The count may be left out, as the sizes may.
  EXPECT_EQ(GetFoliotallyCountSizesAt(AT_FDCWD, sound.c_str(), 0, FOLIOTALLY_BOX_CROP, nullptr,
                                      nullptr, 0, nullptr),
            2);
}

// A file without cross-reference data or catalog: its pages are the page objects a scan
// finds, each with what it inherits from its /Parent. A parent above thousands of pages is
// read once, not once for each of them: the bytes read stay near the file's own size.
TEST(ScannedPages, AParentOfManyPagesIsReadOnce) {
  constexpr int kPages = 3000;
  std::string file = "%PDF-1.4\n1 0 obj\n<< /Type /Pages /MediaBox [0 0 595 842] /Kids [";
  for (int i = 0; i < kPages; ++i) file += std::to_string(i + 2) + " 0 R ";
  file += "] /Count " + std::to_string(kPages) + " >>\nendobj\n";
  for (int i = 0; i < kPages; ++i)
    file += std::to_string(i + 2) + " 0 obj\n<< /Type /Page /Parent 1 0 R" +
            (i == 0 ? std::string(" /Rotate 90") : std::string()) + " >>\nendobj\n";
  MemoryByteSource memory(file);
  CountingByteSource counting(memory);
  const Deadline deadline(600000);
  const PageSizes measured = MeasurePageSizes(counting, deadline, SizeBox::kCrop, [] {
    return CountResult{Verdict::kDamaged, 0, "no qpdf"};
  });
  ASSERT_EQ(measured.count.verdict, Verdict::kCounted);
  EXPECT_TRUE(measured.count.recovered);
  EXPECT_EQ(measured.count.pages, kPages);
  ASSERT_EQ(measured.sizes.groups().size(), 2u);
  EXPECT_EQ(measured.sizes.groups()[0].width_pt, 842);  // the first page, turned
  EXPECT_EQ(measured.sizes.groups()[0].pages, 1);
  EXPECT_EQ(measured.sizes.groups()[1].width_pt, 595);
  EXPECT_EQ(measured.sizes.groups()[1].pages, kPages - 1);
  EXPECT_EQ(measured.sizes.unknown(), 0);
  EXPECT_LT(counting.bytes_read(), 8 * file.size());
}

TEST(RealNumbers, ParsedToTheirValue) {
  for (const auto& [text, value] :
       std::vector<std::pair<std::string, double>>{{"612.5", 612.5},
                                                   {".5", 0.5},
                                                   {"-.25", -0.25},
                                                   {"+3.", 3},
                                                   {"-0.0", 0},
                                                   {"00012.500", 12.5},
                                                   {"0.00000000000000000001", 1e-20}}) {
    Object o;
    const std::string bytes = text + " ";
    Parser parser(bytes, true);
    ASSERT_EQ(parser.ParseObject(&o), ParseStatus::kOk) << "[" << text << "]";
    ASSERT_TRUE(o.Number()) << text;
    EXPECT_DOUBLE_EQ(*o.Number(), value) << text;
  }
}

}  // namespace
}  // namespace foliotally::pdf
