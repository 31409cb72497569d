// The built foliotally-count walking real trees that once made it count wrong: folders
// named with wildcard characters, folders reached through many links, hidden files.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <filesystem>

#include "count_cli/run_process.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

namespace fs = std::filesystem;

ProcessResult Count(const std::vector<std::string>& args) {
  ProcessOptions options;
  options.timeout_seconds = 30;
  ProcessResult result = RunProcess(FOLIOTALLY_COUNT_EXE, args, options);
  EXPECT_FALSE(result.timed_out) << "foliotally-count did not finish";
  return result;
}

TEST(CountCliWalk, FoldersWhoseNamesHoldWildcardsAreWalkedLikeAnyOther) {
  TempDir dir;
  for (const char* name : {"S/a.pdf", "S/a*b/x.pdf", "S/c/y.pdf", "S/what?/in*/v.pdf"})
    dir.Write(name, MakePdf(2));
  const std::string s = dir.str() + "/S";
  const ProcessResult result = Count({s, s + "/what?"});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, s + "/a.pdf;2\n" + s + "/a*b/x.pdf;2\n" + s + "/c/y.pdf;2\n" + s +
                            "/what?/in*/v.pdf;2\n");
  // The second path names a folder walked already.
  EXPECT_EQ(result.err, "Counted 4 files, 8 pages.\n");
}

TEST(CountCliWalk, LinksThatFanOutCountEachFolderOnce) {
  // Twenty levels of two links each to the next level: a million paths to one file.
  constexpr int kLevels = 20;
  TempDir dir;
  const auto level = [&](int i) { return dir.path() / "T" / ("L" + std::to_string(i)); };
  dir.Write("T/L" + std::to_string(kLevels) + "/deep.pdf", MakePdf(11));
  for (int i = kLevels - 1; i >= 0; --i) {
    fs::create_directories(level(i));
    fs::create_directory_symlink(level(i + 1), level(i) / "a");
    fs::create_directory_symlink(level(i + 1), level(i) / "b");
  }
  // A link to the top of the tree, and one from beside it into the middle.
  fs::create_directory_symlink(dir.path() / "T", level(kLevels) / "up");
  fs::create_directory_symlink(level(10), dir.path() / "T" / "K");
  const ProcessResult result = Count({(dir.path() / "T").string()});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "Counted 1 file, 11 pages.\n");
  // Reached first down the "a" links from the top.
  std::string expected = (dir.path() / "T").string() + "/K";
  for (int i = 10; i < kLevels; ++i) expected += "/a";
  EXPECT_EQ(result.out, expected + "/deep.pdf;11\n");
}

// A hidden file is passed by in a walk, whether it is reached directly or through a link,
// and counted when it is named.
TEST(CountCliWalk, HiddenFilesAreLeftOutOfAWalk) {
  TempDir dir;
  const fs::path hidden = dir.Write("S/hidden.pdf", MakePdf(3));
  dir.Write("S/shown.pdf", MakePdf(2));
  const std::string value = "0x2";
  if (setxattr(hidden.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) != 0)
    GTEST_SKIP() << "no user extended attributes on " << dir.str();
  fs::create_symlink(hidden, dir.path() / "S" / "link.pdf");
  const std::string s = dir.str() + "/S";
  const ProcessResult walked = Count({s});
  EXPECT_EQ(walked.exit_status, 0) << walked.err;
  EXPECT_EQ(walked.out, s + "/shown.pdf;2\n");
  EXPECT_EQ(walked.err, "Counted 1 file, 2 pages.\n");
  const ProcessResult named = Count({hidden.string()});
  EXPECT_EQ(named.out, hidden.string() + ";3\n");
}

}  // namespace
}  // namespace foliotally::test
