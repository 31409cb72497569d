// The walk of a folder tree through the file-system seam: depth-first order, unreadable
// folders, folders reached again, and how files are handed to the counter. What one folder
// gives the walk is tested with the shared walk rules (tree_walk_rules_test).
#include "count_cli/tree_walker.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "support/fake_file_system.h"
#include "support/temp_dir.h"

namespace foliotally::count_cli {
namespace {

using test::FakeFileSystem;
using test::FsCall;
using test::TempDir;
namespace fs = std::filesystem;

struct WalkRecord {
  std::vector<std::string> files;  // relative to the temporary folder
  std::vector<std::string> errors;
};

class TreeWalkerTest : public ::testing::Test {
 protected:
  void Touch(const std::string& relative) { dir_.Write(relative, "x"); }

  WalkRecord Walk(const std::vector<std::string>& starts, bool recurse = true) {
    WalkRecord record;
    const std::string base = dir_.str() + "/";
    WalkCallbacks callbacks;
    callbacks.file = [&](FileToCount file) {
      record.files.push_back(file.path.substr(base.size()));
      handed_.push_back(std::move(file));
    };
    callbacks.folder_error = [&](const std::string& folder, const std::string& message) {
      record.errors.push_back(folder.substr(base.size()) + ": " + message);
    };
    TreeWalker walker(fs_, {"*.pdf"}, recurse);
    for (const std::string& start : starts) walker.Walk(base + start, callbacks);
    return record;
  }

  TempDir dir_;
  FakeFileSystem fs_;
  std::vector<FileToCount> handed_;
};

using Names = std::vector<std::string>;

TEST_F(TreeWalkerTest, FolderFilesFirstThenSubfoldersDepthFirst) {
  Touch("S/a.pdf");
  Touch("S/A/x.pdf");
  Touch("S/A/A1/y.pdf");
  Touch("S/B/z.pdf");
  Touch("S/.cache/c.pdf");
  Touch("S/B/readme.txt");
  EXPECT_EQ(Walk({"S"}).files, (Names{"S/a.pdf", "S/A/x.pdf", "S/A/A1/y.pdf", "S/B/z.pdf"}));
  EXPECT_EQ(Walk({"S"}, /*recurse=*/false).files, Names{"S/a.pdf"});
}

TEST_F(TreeWalkerTest, FilesComeWithTheirFolderHeldOpenForCountingByName) {
  Touch("S/a.pdf");
  Touch("S/A/x.pdf");
  Walk({"S"});
  ASSERT_EQ(handed_.size(), 2u);
  for (const FileToCount& file : handed_) {
    ASSERT_NE(file.folder, nullptr);
    // The name opens relative to the folder, wherever the working folder is.
    EXPECT_EQ(faccessat(file.folder->fd(), file.NameInFolder(), R_OK, 0), 0) << file.path;
  }
  EXPECT_STREQ(handed_[1].NameInFolder(), "x.pdf");
}

TEST_F(TreeWalkerTest, UnreadableFolderIsReportedAndTheWalkGoesOn) {
  Touch("S/a.pdf");
  Touch("S/A/x.pdf");
  Touch("S/A/A1/y.pdf");
  Touch("S/B/z.pdf");
  fs_.FailCall(FsCall::kOpenDirectory, dir_.str() + "/S/A", EACCES);
  const WalkRecord record = Walk({"S"});
  EXPECT_EQ(record.files, (Names{"S/a.pdf", "S/B/z.pdf"}));
  EXPECT_EQ(record.errors, Names{"S/A: File access denied"});
}

TEST_F(TreeWalkerTest, FolderThatCanBeListedButNotSearchedIsReported) {
  Touch("S/a.pdf");
  Touch("S/L/l.pdf");
  Touch("S/L/deeper/d.pdf");
  Touch("S/M/m.pdf");
  fs_.DenySearch(dir_.str() + "/S/L");
  const WalkRecord record = Walk({"S"});
  EXPECT_EQ(record.files, (Names{"S/a.pdf", "S/M/m.pdf"}));
  EXPECT_EQ(record.errors, Names{"S/L: File access denied"});
}

TEST_F(TreeWalkerTest, MissingStartFolderIsReported) {
  const WalkRecord record = Walk({"gone"});
  EXPECT_TRUE(record.files.empty());
  ASSERT_EQ(record.errors.size(), 1u);
}

TEST_F(TreeWalkerTest, EachFolderIsWalkedOnceHoweverManyLinksAndNamesLeadToIt) {
  Touch("S/a.pdf");
  Touch("S/A/x.pdf");
  Touch("S/B/z.pdf");
  fs::create_directory_symlink(dir_.path() / "S", dir_.path() / "S/A/loop");
  fs::create_directory_symlink("../..", dir_.path() / "S/A/up");  // the temporary folder
  fs::create_directory_symlink(dir_.path() / "S/B", dir_.path() / "S/A/toB");
  fs::create_directory_symlink(dir_.path() / "S/B", dir_.path() / "S/A/toB2");
  const WalkRecord record = Walk({"S", "S/B", "S/A"});
  // loop is S itself; up is the temporary folder, walked once, but the S inside it is
  // walked already; toB is B reached first through the link, so B itself, toB2 and the
  // second and third start are not walked again.
  EXPECT_EQ(record.files, (Names{"S/a.pdf", "S/A/x.pdf", "S/A/toB/z.pdf"}));
  EXPECT_TRUE(record.errors.empty());
}

TEST_F(TreeWalkerTest, StopEndsTheWalkBeforeTheNextFolder) {
  Touch("S/a.pdf");
  Touch("S/A/x.pdf");
  Touch("S/B/z.pdf");
  std::vector<std::string> files;
  WalkCallbacks callbacks;
  callbacks.file = [&](FileToCount file) { files.push_back(file.path); };
  callbacks.stop = [&] { return !files.empty(); };
  TreeWalker(fs_, {"*.pdf"}, true).Walk(dir_.str() + "/S", callbacks);
  EXPECT_EQ(files, Names{dir_.str() + "/S/a.pdf"});
}

}  // namespace
}  // namespace foliotally::count_cli
