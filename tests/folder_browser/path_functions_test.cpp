#include "folder_browser/path_functions.h"

#include <gtest/gtest.h>

namespace foliotally {
namespace {

constexpr PathStyle kWin = PathStyle::Windows();
constexpr PathStyle kPosix = PathStyle::Posix();
// Shift-JIS: 0x95 0x5C is one character whose second byte is the backslash.
constexpr PathStyle kSjis = PathStyle::Windows(IsCodePage932LeadByte);
const std::string kTable = "\x95\x5C";  // a kanji ending in 0x5C

TEST(PathFunctions, LastDelimiterInFindsTheLastSingleByteDelimiter) {
  EXPECT_EQ(LastDelimiterIn("\\:", "C:\\a\\b.pdf", kWin), 5u);
  EXPECT_EQ(LastDelimiterIn("\\:", "C:b.pdf", kWin), 2u);
  EXPECT_EQ(LastDelimiterIn("\\:", "b.pdf", kWin), 0u);
  EXPECT_EQ(LastDelimiterIn("\\:", "", kWin), 0u);
  EXPECT_EQ(LastDelimiterIn("/", "/a/b.pdf", kPosix), 3u);
  // The 0x5C inside the double-byte character is stepped over with it.
  EXPECT_EQ(LastDelimiterIn("\\:", "C:\\" + kTable, kSjis), 3u);
  EXPECT_EQ(LastDelimiterIn("\\:", "C:\\" + kTable, kWin), 5u);
}

TEST(PathFunctions, DelimiterTestsAreFalseOutsideTheTextAndOnSecondBytes) {
  EXPECT_TRUE(IsDelimiterAt("\\:", "C:\\a", 2, kWin));
  EXPECT_FALSE(IsDelimiterAt("\\:", "C:\\a", 0, kWin));
  EXPECT_FALSE(IsDelimiterAt("\\:", "C:\\a", 5, kWin));
  EXPECT_TRUE(IsPathDelimiterAt("C:\\a", 3, kWin));
  EXPECT_FALSE(IsPathDelimiterAt("C:\\a", 2, kWin));
  EXPECT_FALSE(IsPathDelimiterAt(kTable, 2, kSjis));
  EXPECT_TRUE(IsPathDelimiterAt(kTable + "\\", 3, kSjis));
  EXPECT_TRUE(IsPathDelimiterAt("/a/", 3, kPosix));
  EXPECT_FALSE(IsPathDelimiterAt("\\a", 1, kPosix));
}

TEST(PathFunctions, PathPartKeepsTheTrailingDelimiter) {
  EXPECT_EQ(PathPartOf("C:\\a\\b.pdf", kWin), "C:\\a\\");
  EXPECT_EQ(PathPartOf("C:b.pdf", kWin), "C:");
  EXPECT_EQ(PathPartOf("b.pdf", kWin), "");
  EXPECT_EQ(PathPartOf("/a/b.pdf", kPosix), "/a/");
  EXPECT_EQ(PathPartOf("b.pdf", kPosix), "");
}

TEST(PathFunctions, FolderPartDropsTheDelimiterButKeepsARootWhole) {
  EXPECT_EQ(FolderPartOf("C:\\a\\b.pdf", kWin), "C:\\a");
  EXPECT_EQ(FolderPartOf("C:\\b.pdf", kWin), "C:\\");
  EXPECT_EQ(FolderPartOf("C:\\report.pdf", kWin), "C:\\");
  EXPECT_EQ(FolderPartOf("\\b.pdf", kWin), "\\");
  EXPECT_EQ(FolderPartOf("\\\\srv\\share\\b.pdf", kWin), "\\\\srv\\share");
  EXPECT_EQ(FolderPartOf("report.pdf", kWin), "");
  EXPECT_EQ(FolderPartOf("/a/b.pdf", kPosix), "/a");
  EXPECT_EQ(FolderPartOf("/report.pdf", kPosix), "/");
  EXPECT_EQ(FolderPartOf("report.pdf", kPosix), "");
  // A folder named by a kanji whose second byte is 0x5C keeps all of its bytes.
  EXPECT_EQ(FolderPartOf("C:\\" + kTable + "\\b.pdf", kSjis), "C:\\" + kTable);
}

TEST(PathFunctions, DrivePartNamesDrivesAndNetworkRoots) {
  EXPECT_EQ(DrivePartOf("C:\\a\\b.pdf", kWin), "C:");
  EXPECT_EQ(DrivePartOf("C:b.pdf", kWin), "C:");
  EXPECT_EQ(DrivePartOf("\\\\srv\\share\\dir", kWin), "\\\\srv\\share");
  EXPECT_EQ(DrivePartOf("\\\\srv\\share", kWin), "\\\\srv\\share");
  EXPECT_EQ(DrivePartOf("\\\\srv", kWin), "\\\\srv");
  EXPECT_EQ(DrivePartOf("\\\\srv\\", kWin), "\\\\srv");
  EXPECT_EQ(DrivePartOf("\\\\", kWin), "\\\\");
  EXPECT_EQ(DrivePartOf("\\a\\b", kWin), "");
  EXPECT_EQ(DrivePartOf("b.pdf", kWin), "");
  EXPECT_EQ(DrivePartOf("", kWin), "");
  // POSIX has no drives: the root "/" plays the drive's root.
  EXPECT_EQ(DrivePartOf("/a/b.pdf", kPosix), "");
  EXPECT_EQ(DrivePartOf("//srv/share", kPosix), "");
  EXPECT_EQ(DrivePartOf("C:/a", kPosix), "");
}

TEST(PathFunctions, NameAndExtensionParts) {
  EXPECT_EQ(NamePartOf("C:\\a\\b.pdf", kWin), "b.pdf");
  EXPECT_EQ(NamePartOf("C:b.pdf", kWin), "b.pdf");
  EXPECT_EQ(NamePartOf("C:\\a\\", kWin), "");
  EXPECT_EQ(NamePartOf("/a/b.pdf", kPosix), "b.pdf");
  EXPECT_EQ(NamePartOf("C:b.pdf", kPosix), "C:b.pdf");
  EXPECT_EQ(NamePartOf("a\\b", kPosix), "a\\b");

  EXPECT_EQ(ExtensionPartOf("a.tar.gz", kWin), ".gz");
  EXPECT_EQ(ExtensionPartOf("dir.x\\file", kWin), "");
  EXPECT_EQ(ExtensionPartOf("C:\\my.docs\\readme", kWin), "");
  EXPECT_EQ(ExtensionPartOf("x.pdf", kWin), ".pdf");
  EXPECT_EQ(ExtensionPartOf("a.", kWin), ".");
  EXPECT_EQ(ExtensionPartOf("report.PDF", kWin), ".PDF");
  EXPECT_EQ(ExtensionPartOf("/my.docs/readme", kPosix), "");
  EXPECT_EQ(ExtensionPartOf("/a/x.pdf", kPosix), ".pdf");
  EXPECT_EQ(ExtensionPartOf(".cache", kPosix), ".cache");
  EXPECT_EQ(ExtensionPartOf("", kPosix), "");
}

TEST(PathFunctions, TrailingDelimiterAndJoining) {
  EXPECT_EQ(WithTrailingDelimiter("C:\\", kWin), "C:\\");
  EXPECT_EQ(WithTrailingDelimiter("C:\\docs", kWin), "C:\\docs\\");
  EXPECT_EQ(WithTrailingDelimiter("", kWin), "\\");
  EXPECT_EQ(WithTrailingDelimiter("/", kPosix), "/");
  EXPECT_EQ(WithTrailingDelimiter("/docs", kPosix), "/docs/");
  EXPECT_EQ(WithTrailingDelimiter("", kPosix), "/");
  // A kanji ending in 0x5C is no trailing delimiter.
  EXPECT_EQ(WithTrailingDelimiter("C:\\" + kTable, kSjis), "C:\\" + kTable + "\\");

  EXPECT_EQ(JoinFolderAndName("C:\\", "a.pdf", kWin), "C:\\a.pdf");
  EXPECT_EQ(JoinFolderAndName("C:\\docs", "a.pdf", kWin), "C:\\docs\\a.pdf");
  EXPECT_EQ(JoinFolderAndName("C:\\docs", "*.*", kWin), "C:\\docs\\*.*");
  EXPECT_EQ(JoinFolderAndName("C:\\" + kTable, "a", kSjis), "C:\\" + kTable + "\\a");
  EXPECT_EQ(JoinFolderAndName("/", "a.pdf", kPosix), "/a.pdf");
  EXPECT_EQ(JoinFolderAndName("/docs", "a.pdf", kPosix), "/docs/a.pdf");
  EXPECT_EQ(JoinFolderAndName("", "a.pdf", kPosix), "a.pdf");
}

TEST(PathFunctions, ALeadByteCutOffAtTheEndDoesNotSwallowAnything) {
  const std::string cut = "a\\\x95";
  EXPECT_EQ(LastDelimiterIn("\\:", cut, kSjis), 2u);
  EXPECT_FALSE(IsPathDelimiterAt(cut, 3, kSjis));
  EXPECT_EQ(NamePartOf(cut, kSjis), "\x95");
}

}  // namespace
}  // namespace foliotally
