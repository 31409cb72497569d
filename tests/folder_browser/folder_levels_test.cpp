#include "folder_browser/folder_levels.h"

#include <gtest/gtest.h>

#include "folder_browser/volume_memory.h"

namespace foliotally {
namespace {

using Texts = std::vector<std::string>;
constexpr PathStyle kWindows = PathStyle::Windows();

TEST(LevelRowsTest, RowsFromTheRootDownToTheFolder) {
  LevelRows rows = LevelRowsOf("C:\\docs\\pdf", kWindows);
  EXPECT_EQ(rows.texts, (Texts{"C:\\", "docs", "pdf"}));
  EXPECT_EQ(rows.current_row, 2);
  rows = LevelRowsOf("C:\\", kWindows);
  EXPECT_EQ(rows.texts, (Texts{"C:\\"}));
  EXPECT_EQ(rows.current_row, 0);
  rows = LevelRowsOf("\\\\srv\\share\\dir", kWindows);
  EXPECT_EQ(rows.texts, (Texts{"\\\\srv\\share\\", "dir"}));
  EXPECT_EQ(rows.current_row, 1);
  // A network root has no row of its own as the current folder.
  rows = LevelRowsOf("\\\\srv\\share", kWindows);
  EXPECT_EQ(rows.texts, (Texts{"\\\\srv\\share\\"}));
  EXPECT_EQ(rows.current_row, -1);

  rows = LevelRowsOf("/docs/pdf");
  EXPECT_EQ(rows.texts, (Texts{"/", "docs", "pdf"}));
  EXPECT_EQ(rows.current_row, 2);
  rows = LevelRowsOf("/");
  EXPECT_EQ(rows.texts, (Texts{"/"}));
  EXPECT_EQ(rows.current_row, 0);
}

TEST(LevelRowsTest, DoubleByteSecondBytesAreNoDelimiters) {
  // 0x83 0x5C is one Shift-JIS character whose second byte looks like a backslash.
  const PathStyle sjis = PathStyle::Windows(IsCodePage932LeadByte);
  const std::string name = "a\x83\x5C";
  const LevelRows rows = LevelRowsOf("C:\\" + name + "\\b", sjis);
  EXPECT_EQ(rows.texts, (Texts{"C:\\", name, "b"}));
  EXPECT_EQ(LevelPathOf("C:\\" + name + "\\b\\c", 1, sjis), "C:\\" + name);
}

TEST(LevelRowsTest, PathOfALevelRow) {
  EXPECT_EQ(LevelPathOf("C:\\docs\\pdf\\x", 0, kWindows), "C:\\");
  EXPECT_EQ(LevelPathOf("C:\\docs\\pdf\\x", 1, kWindows), "C:\\docs");
  EXPECT_EQ(LevelPathOf("C:\\docs\\pdf\\x", 2, kWindows), "C:\\docs\\pdf");
  EXPECT_EQ(LevelPathOf("\\\\srv\\share\\a\\b", 0, kWindows), "\\\\srv\\share\\");
  EXPECT_EQ(LevelPathOf("\\\\srv\\share\\a\\b", 1, kWindows), "\\\\srv\\share\\a");
  EXPECT_EQ(LevelPathOf("/docs/pdf/x", 0), "/");
  EXPECT_EQ(LevelPathOf("/docs/pdf/x", 1), "/docs");
  EXPECT_EQ(LevelPathOf("/docs/pdf/x", 2), "/docs/pdf");
}

// One pixel per character, so widths are lengths.
int Length(std::string_view text) { return static_cast<int>(text.size()); }

TEST(ShortenPathTest, DropsLevelsFromTheFront) {
  const std::string windows = "C:\\docs\\pdf\\report.pdf";
  EXPECT_EQ(ShortenPath(windows, Length, 100, kWindows), windows);
  EXPECT_EQ(ShortenPath(windows, Length, 21, kWindows), "C:\\...\\pdf\\report.pdf");
  EXPECT_EQ(ShortenPath(windows, Length, 17, kWindows), "C:\\...\\report.pdf");
  EXPECT_EQ(ShortenPath(windows, Length, 14, kWindows), "...\\report.pdf");
  EXPECT_EQ(ShortenPath(windows, Length, 10, kWindows), "report.pdf");
  EXPECT_EQ(ShortenPath(windows, Length, 3, kWindows), "report.pdf");  // nothing left to drop

  const std::string posix = "/docs/pdf/report";
  EXPECT_EQ(ShortenPath(posix, Length, 15), "/.../pdf/report");
  EXPECT_EQ(ShortenPath(posix, Length, 12), "/.../report");
  EXPECT_EQ(ShortenPath(posix, Length, 10), ".../report");
  EXPECT_EQ(ShortenPath(posix, Length, 6), "report");
  EXPECT_EQ(ShortenPath("/", Length, 0), "");
}

TEST(VolumeFolderMemoryTest, RemembersTheLastFolderOfEachVolume) {
  VolumeFolderMemory memory;
  EXPECT_EQ(memory.LastFolderOn("/media/usb"), "/media/usb");
  memory.Remember("/media/usb", "/media/usb/docs");
  EXPECT_EQ(memory.LastFolderOn("/media/usb"), "/media/usb/docs");
}

}  // namespace
}  // namespace foliotally
