#include "folder_browser/current_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "errors/errors.h"
#include "folder_browser/existence_checks.h"
#include "support/fake_file_system.h"
#include "support/special_files.h"
#include "support/temp_dir.h"

namespace foliotally {
namespace {

// Far enough from New Year to be 1979 and 1980 in every time zone.
constexpr int64_t kMid1979 = 300000000;    // 1979-07-05
constexpr int64_t kEarly1980 = 315705600;  // 1980-01-03

using test::FakeFileSystem;
using test::FsCall;
namespace fs = std::filesystem;

class CurrentFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_cwd_ = fs::current_path();
    root_ = fs::canonical(dir_.path()).string();
  }
  void TearDown() override { fs::current_path(saved_cwd_); }
  std::string At(const std::string& relative) const { return root_ + "/" + relative; }

  // Expects SplitPathText to raise `code` and to leave the current folder where it was.
  void ExpectSplitFails(const std::string& text, int code, const std::string& message) {
    const std::string before = CurrentFolderOf(fs_);
    try {
      SplitPathText(fs_, text);
      ADD_FAILURE() << "no error for " << text;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode, code) << text;
      EXPECT_EQ(e.Message(), message) << text;
    }
    EXPECT_EQ(CurrentFolderOf(fs_), before);
  }

  test::TempDir dir_;
  std::string root_;
  FakeFileSystem fs_;
  fs::path saved_cwd_;
};

TEST_F(CurrentFolderTest, ExistenceOfFilesAndFolders) {
  dir_.Write("docs/report.pdf", "x");
  test::MakeFifo(dir_.path() / "fifo.pdf");
  test::MakeSocket(dir_.path() / "sock.pdf");
  EXPECT_TRUE(IsExistingFile(fs_, At("docs/report.pdf")));
  EXPECT_FALSE(IsExistingFile(fs_, At("docs")));
  EXPECT_FALSE(IsExistingFile(fs_, At("fifo.pdf")));
  EXPECT_FALSE(IsExistingFile(fs_, At("sock.pdf")));
  EXPECT_FALSE(IsExistingFile(fs_, At("missing.pdf")));
  EXPECT_FALSE(IsExistingFile(fs_, ""));
  EXPECT_TRUE(IsExistingFolder(fs_, At("docs")));
  EXPECT_TRUE(IsExistingFolder(fs_, "/"));
  EXPECT_FALSE(IsExistingFolder(fs_, At("docs/report.pdf")));
  EXPECT_FALSE(IsExistingFolder(fs_, At("fifo.pdf")));
  EXPECT_FALSE(IsExistingFolder(fs_, ""));
}

TEST_F(CurrentFolderTest, AFileLastWrittenBefore1980IsNoFile) {
  const auto old = dir_.Write("old.pdf", "x");
  test::SetModifiedTime(old, kMid1979);
  EXPECT_FALSE(IsExistingFile(fs_, old.string()));
  test::SetModifiedTime(old, kEarly1980);
  EXPECT_TRUE(IsExistingFile(fs_, old.string()));
}

TEST_F(CurrentFolderTest, AWildcardPathIsAnsweredByItsFirstMatch) {
  dir_.Write("docs/a.pdf", "x");
  EXPECT_TRUE(IsExistingFile(fs_, At("docs/*.pdf")));
  EXPECT_FALSE(IsExistingFile(fs_, At("docs/*.txt")));
  dir_.MakeFolder("docs/sub.x");
  EXPECT_FALSE(IsExistingFile(fs_, At("docs/*.x")));
}

TEST_F(CurrentFolderTest, ChangeAndReadTheCurrentFolder) {
  dir_.MakeFolder("docs");
  ChangeCurrentFolder(fs_, At("docs"));
  EXPECT_EQ(CurrentFolderOf(fs_), At("docs"));
  ChangeCurrentFolder(fs_, "/");
  EXPECT_EQ(CurrentFolderOf(fs_), "/");
}

TEST_F(CurrentFolderTest, FailedChangesRaiseTheMappedError) {
  dir_.Write("file.pdf", "x");
  const auto locked = dir_.MakeFolder("locked");
  const auto card = dir_.MakeFolder("card");
  fs_.FailCall(FsCall::kChangeDirectory, locked, EACCES);
  fs_.FailCall(FsCall::kChangeDirectory, card, ENOMEDIUM);
  const struct {
    std::string path;
    int code;
    const char* message;
  } cases[] = {
      {At("missing"), 2, "File not found"},        {At("missing/"), 2, "File not found"},
      {At("gone/missing"), 3, "Invalid filename"}, {At("file.pdf"), 3, "Invalid filename"},
      {At("locked"), 5, "File access denied"},     {At("card"), 21, "I/O error 21"},
  };
  for (const auto& c : cases) {
    try {
      ChangeCurrentFolder(fs_, c.path);
      ADD_FAILURE() << "no error for " << c.path;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode, c.code) << c.path;
      EXPECT_EQ(e.Message(), c.message) << c.path;
    }
  }
}

TEST_F(CurrentFolderTest, SplitsAFilePathIntoFolderAndFile) {
  dir_.Write("docs/report.pdf", "x");
  const SplitPath split = SplitPathText(fs_, At("docs/report.pdf"));
  EXPECT_EQ(split.drive, '\0');
  EXPECT_EQ(split.folder, At("docs"));
  EXPECT_EQ(split.file, "report.pdf");
}

TEST_F(CurrentFolderTest, SplitsAFolderPathIntoTheFolderAlone) {
  dir_.MakeFolder("docs/sub");
  const std::string before = CurrentFolderOf(fs_);
  SplitPath split = SplitPathText(fs_, At("docs/sub"));
  EXPECT_EQ(split.folder, At("docs/sub"));
  EXPECT_EQ(split.file, "");
  EXPECT_EQ(CurrentFolderOf(fs_), before);  // the scratch folder changes were undone

  split = SplitPathText(fs_, At("docs/sub/"));
  EXPECT_EQ(split.folder, At("docs/sub"));
  EXPECT_EQ(split.file, "");
}

TEST_F(CurrentFolderTest, SplitsAWildcardOffItsFolder) {
  dir_.MakeFolder("docs");
  const SplitPath split = SplitPathText(fs_, At("docs") + "/*.pdf");
  EXPECT_EQ(split.folder, At("docs"));
  EXPECT_EQ(split.file, "*.pdf");
}

TEST_F(CurrentFolderTest, AFolderWhoseNameHoldsWildcardsIsAFolderNotAMask) {
  dir_.MakeFolder("docs/a*b");
  dir_.MakeFolder("docs/what?");
  dir_.Write("docs/a*b/x.pdf", "x");
  for (const char* name : {"a*b", "what?"}) {
    const SplitPath split = SplitPathText(fs_, At("docs/") + name);
    EXPECT_EQ(split.folder, At("docs/") + name);
    EXPECT_EQ(split.file, "");
  }
  // A wildcard name that is no folder is still a mask, even where it matches one.
  const SplitPath split = SplitPathText(fs_, At("docs/a*"));
  EXPECT_EQ(split.folder, At("docs"));
  EXPECT_EQ(split.file, "a*");
}

TEST_F(CurrentFolderTest, TheRootIsItsOwnFolder) {
  SplitPath split = SplitPathText(fs_, "/");
  EXPECT_EQ(split.drive, '\0');
  EXPECT_EQ(split.folder, "/");
  EXPECT_EQ(split.file, "");
  const std::string top = root_.substr(0, root_.find('/', 1));  // a folder below the root
  split = SplitPathText(fs_, top);
  EXPECT_EQ(split.folder, top);
  EXPECT_EQ(split.file, "");
}

TEST_F(CurrentFolderTest, ADoubledDelimiterIsOneDelimiterOnPosix) {
  dir_.MakeFolder("docs/sub");
  // Unlike a Windows path, "//" is no network root here: it names the same folder.
  // (Appended rather than "/" + At(...): GCC 12 at -O3 warns falsely about that operator+.)
  const std::string doubled = std::string("/").append(At("docs//sub"));
  const SplitPath split = SplitPathText(fs_, doubled);
  EXPECT_EQ(split.drive, '\0');
  EXPECT_EQ(split.file, "");
  ChangeCurrentFolder(fs_, split.folder);
  EXPECT_EQ(CurrentFolderOf(fs_), At("docs/sub"));
}

TEST_F(CurrentFolderTest, AMissingLastNameRaisesFileNotFoundAndRestoresTheFolder) {
  dir_.MakeFolder("docs");
  dir_.MakeFolder("elsewhere");
  fs::current_path(dir_.path() / "elsewhere");
  ExpectSplitFails(At("docs/missing"), 2, "File not found");
  ExpectSplitFails(At("nothere/missing"), 2, "File not found");
  ExpectSplitFails(At("nothere/deeper/missing"), 3, "Invalid filename");
  EXPECT_EQ(CurrentFolderOf(fs_), At("elsewhere"));
}

TEST_F(CurrentFolderTest, AFolderThatCannotBeEnteredRaisesAndRestores) {
  const auto locked = dir_.MakeFolder("locked");
  dir_.MakeFolder("home");
  fs::current_path(dir_.path() / "home");
  fs_.FailCall(FsCall::kChangeDirectory, locked, EACCES);
  ExpectSplitFails(At("locked"), 5, "File access denied");
  ExpectSplitFails(At("locked/x.pdf"), 5, "File access denied");
}

TEST_F(CurrentFolderTest, RelativeTextsAndBracketedFolderRows) {
  dir_.Write("docs/sub/a.pdf", "x");
  fs::current_path(dir_.path() / "docs");
  SplitPath split = SplitPathText(fs_, "sub/a.pdf");
  EXPECT_EQ(split.folder, "sub");
  EXPECT_EQ(split.file, "a.pdf");
  // A name alone is taken in the current folder.
  split = SplitPathText(fs_, "sub");
  EXPECT_EQ(split.folder, At("docs/sub"));
  EXPECT_EQ(split.file, "");
  // "[sub]" is how a file list shows a folder.
  split = SplitPathText(fs_, "[sub]");
  EXPECT_EQ(split.drive, '\0');
  EXPECT_EQ(split.folder, At("docs/sub"));
  EXPECT_EQ(split.file, "");
  EXPECT_EQ(CurrentFolderOf(fs_), At("docs"));
}

TEST_F(CurrentFolderTest, AFileBefore1980IsTakenForAFolderAndFails) {
  const auto old = dir_.Write("docs/old.pdf", "x");
  test::SetModifiedTime(old, kMid1979);
  ExpectSplitFails(old.string(), 3, "Invalid filename");
}

TEST_F(CurrentFolderTest, AFifoNamedLikeAFileIsNeitherEnteredNorOpened) {
  dir_.MakeFolder("docs");
  test::MakeFifo(dir_.path() / "docs" / "x.pdf");
  ExpectSplitFails(At("docs/x.pdf"), 3, "Invalid filename");
}

TEST_F(CurrentFolderTest, ARemovedCurrentFolderIsNotRestored) {
  const auto gone = dir_.MakeFolder("gone");
  dir_.MakeFolder("docs");
  fs::current_path(gone);
  fs::remove(gone);
  EXPECT_EQ(CurrentFolderOf(fs_), "");
  const SplitPath split = SplitPathText(fs_, At("docs"));
  EXPECT_EQ(split.folder, At("docs"));
  EXPECT_EQ(CurrentFolderOf(fs_), At("docs"));
}

}  // namespace
}  // namespace foliotally
