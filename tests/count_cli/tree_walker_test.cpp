// The walk of a folder tree through the file-system seam: order, skip rules, link loops
// and unreadable folders.
#include "count_cli/tree_walker.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "support/fake_file_system.h"
#include "support/temp_dir.h"

namespace foliotally::count_cli {
namespace {

using test::FakeFileSystem;
using test::FsCall;
using test::TempDir;

struct WalkRecord {
  std::vector<std::string> files;  // relative to the temporary folder
  std::vector<std::string> errors;
};

class TreeWalkerTest : public ::testing::Test {
 protected:
  void Touch(const std::string& relative) { dir_.Write(relative, "x"); }

  WalkRecord Walk(const std::string& start, std::vector<std::string> masks = {"*.pdf"},
                  bool recurse = true) {
    WalkRecord record;
    const std::string base = dir_.str() + "/";
    WalkCallbacks callbacks;
    callbacks.file = [&](const std::string& path) {
      record.files.push_back(path.rfind(base, 0) == 0 ? path.substr(base.size()) : path);
    };
    callbacks.folder_error = [&](const std::string& folder, const std::string& message) {
      record.errors.push_back(folder.substr(base.size()) + ": " + message);
    };
    TreeWalker(fs_, masks, recurse).Walk(base + start, callbacks);
    return record;
  }

  TempDir dir_;
  FakeFileSystem fs_;
};

using Names = std::vector<std::string>;

TEST_F(TreeWalkerTest, FolderFilesFirstThenSubfoldersDepthFirst) {
  Touch("S/a.pdf");
  Touch("S/A/x.pdf");
  Touch("S/A/A1/y.pdf");
  Touch("S/B/z.pdf");
  Touch("S/.cache/c.pdf");
  Touch("S/.cache/deep/d.pdf");
  Touch("S/B/readme.txt");
  EXPECT_EQ(Walk("S").files, (Names{"S/a.pdf", "S/A/x.pdf", "S/A/A1/y.pdf", "S/B/z.pdf"}));
}

TEST_F(TreeWalkerTest, SortsFilesAndSubfoldersByNameIgnoringCase) {
  Touch("S/b.pdf");
  Touch("S/C.PDF");
  Touch("S/A.pdf");
  Touch("S/a.pdf");
  Touch("S/beta/1.pdf");
  Touch("S/Alpha/2.pdf");
  Touch("S/_x/3.pdf");
  EXPECT_EQ(Walk("S").files, (Names{"S/A.pdf", "S/a.pdf", "S/b.pdf", "S/C.PDF", "S/_x/3.pdf",
                                    "S/Alpha/2.pdf", "S/beta/1.pdf"}));
  EXPECT_TRUE(NameLess("A", "a"));
  EXPECT_TRUE(NameLess("a", "B"));
  EXPECT_TRUE(NameLess("ab", "abc"));
  EXPECT_FALSE(NameLess("b", "B"));
}

TEST_F(TreeWalkerTest, HiddenAndSystemEntriesAreNeitherCountedNorEntered) {
  Touch("S/shown.pdf");
  Touch("S/hidden.pdf");
  Touch("S/device.pdf");
  Touch("S/H/in-hidden.pdf");
  Touch("S/Sys/in-system.pdf");
  Touch("S/Open/ok.pdf");
  fs_.MarkHidden(dir_.str() + "/S/hidden.pdf");
  fs_.MarkSystem(dir_.str() + "/S/device.pdf");
  fs_.MarkHidden(dir_.str() + "/S/H");
  fs_.MarkSystem(dir_.str() + "/S/Sys");
  EXPECT_EQ(Walk("S").files, (Names{"S/shown.pdf", "S/Open/ok.pdf"}));
}

TEST_F(TreeWalkerTest, UnreadableFolderIsReportedAndTheWalkGoesOn) {
  Touch("S/a.pdf");
  Touch("S/A/x.pdf");
  Touch("S/A/A1/y.pdf");
  Touch("S/B/z.pdf");
  fs_.FailCall(FsCall::kOpenDirectory, dir_.str() + "/S/A", EACCES);
  const WalkRecord record = Walk("S");
  EXPECT_EQ(record.files, (Names{"S/a.pdf", "S/B/z.pdf"}));
  EXPECT_EQ(record.errors, Names{"S/A: File access denied"});
}

TEST_F(TreeWalkerTest, MissingStartFolderIsReported) {
  const WalkRecord record = Walk("gone");
  EXPECT_TRUE(record.files.empty());
  ASSERT_EQ(record.errors.size(), 1u);
}

TEST_F(TreeWalkerTest, NeverEntersAFolderAlreadyOnThePathButWalksOtherLinks) {
  Touch("S/a.pdf");
  Touch("S/A/x.pdf");
  Touch("S/B/z.pdf");
  namespace fs = std::filesystem;
  fs::create_directory_symlink(dir_.path() / "S", dir_.path() / "S/A/loop");
  fs::create_directory_symlink("../..", dir_.path() / "S/A/up");  // the temporary folder
  fs::create_directory_symlink(dir_.path() / "S/B", dir_.path() / "S/A/toB");
  const WalkRecord record = Walk("S");
  // loop is S itself; up is the parent of S, which is walked, but the S inside it is
  // again on the path; toB leads to a folder beside the path and is walked like any other.
  EXPECT_EQ(record.files, (Names{"S/a.pdf", "S/A/x.pdf", "S/A/toB/z.pdf", "S/B/z.pdf"}));
  EXPECT_TRUE(record.errors.empty());
}

TEST_F(TreeWalkerTest, MasksMatchInAnyCaseAndCountAFileOnce) {
  Touch("S/Report.PDF");
  Touch("S/report.ai");
  Touch("S/notes.txt");
  Touch("S/Sub/deep.ai");
  EXPECT_EQ(Walk("S", {"*.pdf", "rep*", "*.AI"}).files,
            (Names{"S/report.ai", "S/Report.PDF", "S/Sub/deep.ai"}));
  EXPECT_EQ(Walk("S", {"*.*"}, /*recurse=*/false).files,
            (Names{"S/notes.txt", "S/report.ai", "S/Report.PDF"}));
}

TEST_F(TreeWalkerTest, StopEndsTheWalkBeforeTheNextFolder) {
  Touch("S/a.pdf");
  Touch("S/A/x.pdf");
  Touch("S/B/z.pdf");
  std::vector<std::string> files;
  WalkCallbacks callbacks;
  callbacks.file = [&](const std::string& path) { files.push_back(path); };
  callbacks.stop = [&] { return !files.empty(); };
  TreeWalker(fs_, {"*.pdf"}, true).Walk(dir_.str() + "/S", callbacks);
  EXPECT_EQ(files, Names{dir_.str() + "/S/a.pdf"});
}

}  // namespace
}  // namespace foliotally::count_cli
