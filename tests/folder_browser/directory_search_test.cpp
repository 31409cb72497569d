#include "folder_browser/directory_search.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "support/fake_file_system.h"
#include "support/special_files.h"
#include "support/temp_dir.h"

namespace foliotally {
namespace {

using test::FakeFileSystem;
using test::FsCall;
namespace fs = std::filesystem;

class DirectorySearchTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_cwd_ = fs::current_path(); }
  void TearDown() override { fs::current_path(saved_cwd_); }

  // Every name a search yields, sorted (the platform's order is arbitrary). `first_code`
  // receives what SearchFirst returned.
  std::vector<std::string> Names(const std::string& pattern, int32_t attributes,
                                 int* first_code = nullptr) {
    std::vector<std::string> names;
    TSearchRec rec;
    int code = SearchFirst(fs_, pattern, attributes, rec);
    if (first_code) *first_code = code;
    while (code == 0) {
      names.push_back(rec.EntryName);
      code = SearchNext(rec);
    }
    EXPECT_TRUE(code == 18 || code == 2) << "search ended with " << code;
    SearchClose(rec);
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Pattern(const std::string& name) const { return dir_.str() + "/" + name; }

  test::TempDir dir_;
  FakeFileSystem fs_;
  PosixFileSystem real_;
  fs::path saved_cwd_;
};

using NameList = std::vector<std::string>;

TEST_F(DirectorySearchTest, FilesOnlySkipsHiddenSystemFoldersAndSpecialEntries) {
  const auto readonly = dir_.Write("a.pdf", "x");
  fs::permissions(readonly, fs::perms::owner_read | fs::perms::group_read);
  fs_.MarkHidden(dir_.Write("b.pdf", "x"));
  fs_.MarkSystem(dir_.Write("c.pdf", "x"));
  dir_.Write("d.PDF", "x");
  dir_.Write("e.txt", "x");
  dir_.MakeFolder("x.pdf");
  test::MakeFifo(dir_.path() / "fifo.pdf");
  test::MakeSocket(dir_.path() / "sock.pdf");
  fs::create_symlink(dir_.path() / "missing", dir_.path() / "dangling.pdf");
  fs::create_symlink(dir_.path() / "d.PDF", dir_.path() / "link.pdf");

  EXPECT_EQ(Names(Pattern("*.pdf"), 0), (NameList{"a.pdf", "d.PDF", "link.pdf"}));

  TSearchRec rec;
  ASSERT_EQ(SearchFirst(fs_, Pattern("a.pdf"), 0, rec), 0);
  EXPECT_EQ(rec.EntryAttributes, kAttrReadOnly | kAttrArchive);
  EXPECT_EQ(rec.PlatformEntry.name, "a.pdf");
}

TEST_F(DirectorySearchTest, AskingForABitLetsThoseEntriesThrough) {
  fs_.MarkHidden(dir_.Write("b.pdf", "x"));
  fs_.MarkSystem(dir_.Write("c.pdf", "x"));
  test::MakeFifo(dir_.path() / "fifo.pdf");
  EXPECT_EQ(Names(Pattern("*.pdf"), kAttrHidden), (NameList{"b.pdf"}));
  EXPECT_EQ(Names(Pattern("*.pdf"), kAttrSystem), (NameList{"c.pdf", "fifo.pdf"}));
  // Read-only and archive never exclude anything, asked for or not.
  EXPECT_EQ(Names(Pattern("*.pdf"), kAttrReadOnly | kAttrArchive), NameList{});
}

TEST_F(DirectorySearchTest, FoldersAskedForYieldDotEntriesFilesAndSubfolders) {
  dir_.Write("a.pdf", "x");
  dir_.Write("readme", "x");
  dir_.MakeFolder("sub");
  dir_.MakeFolder(".cache");
  fs_.MarkHidden(dir_.MakeFolder("hid"));
  fs_.MarkSystem(dir_.MakeFolder("sys"));
  EXPECT_EQ(Names(Pattern("*.*"), kAttrDirectory),
            (NameList{".", "..", ".cache", "a.pdf", "readme", "sub"}));

  TSearchRec rec;
  ASSERT_EQ(SearchFirst(fs_, Pattern("sub"), kAttrDirectory, rec), 0);
  EXPECT_EQ(rec.EntryAttributes & kAttrDirectory, kAttrDirectory);
}

TEST_F(DirectorySearchTest, FoldersOnlyYieldsTheAcceptedFoldersAndLinksToFolders) {
  dir_.Write("a.pdf", "x");
  dir_.Write("readme", "x");
  dir_.MakeFolder("sub");
  dir_.MakeFolder(".cache");
  fs_.MarkHidden(dir_.MakeFolder("hid"));
  fs_.MarkSystem(dir_.MakeFolder("sys"));
  test::MakeFifo(dir_.path() / "fifo");
  fs::create_symlink(dir_.path() / "sub", dir_.path() / "to_sub");
  fs::create_symlink(dir_.path() / "a.pdf", dir_.path() / "to_file");
  fs::create_symlink(dir_.path() / "missing", dir_.path() / "dangling");
  for (FileSystem* files : {static_cast<FileSystem*>(&fs_), static_cast<FileSystem*>(&real_)}) {
    NameList names;
    TSearchRec rec;
    for (int code =
             SearchFirst(*files, Pattern("*.*"), kAttrDirectory, rec, SearchYield::kFoldersOnly);
         code == 0; code = SearchNext(rec)) {
      names.push_back(rec.EntryName);
      EXPECT_EQ(rec.EntryAttributes & kAttrDirectory, kAttrDirectory) << rec.EntryName;
    }
    std::sort(names.begin(), names.end());
    const NameList expected = files == &fs_
                                  ? NameList{".", ".cache", "sub", "to_sub"}
                                  : NameList{".", ".cache", "hid", "sub", "sys", "to_sub"};
    EXPECT_EQ(names, expected);
  }
}

TEST_F(DirectorySearchTest, FoldersOnlyTellsAFolderWithoutFoldersFromNoMatch) {
  const std::string folder = dir_.MakeFolder("files").string();
  dir_.Write("files/a.pdf", "x");
  dir_.Write("files/b.pdf", "x");
  TSearchRec rec;
  rec.EntryName = "before";
  EXPECT_EQ(SearchFirst(fs_, folder + "/*.pdf", kAttrDirectory, rec, SearchYield::kFoldersOnly),
            18);
  EXPECT_EQ(SearchFirst(fs_, folder + "/*.txt", kAttrDirectory, rec, SearchYield::kFoldersOnly), 2);
  EXPECT_EQ(rec.EntryName, "before");
  EXPECT_EQ(rec.SearchHandle, nullptr);
}

TEST_F(DirectorySearchTest, MissingFolderFailsAndLeavesTheRecordAlone) {
  TSearchRec rec;
  rec.EntryName = "before";
  rec.EntryTime = 42;
  EXPECT_EQ(SearchFirst(fs_, Pattern("nothere/*.pdf"), 0, rec), 3);
  EXPECT_EQ(rec.EntryName, "before");
  EXPECT_EQ(rec.EntryTime, 42);
  EXPECT_EQ(rec.SearchHandle, nullptr);
  SearchClose(rec);
  SearchClose(rec);
  EXPECT_EQ(rec.SearchHandle, nullptr);
  EXPECT_NE(SearchNext(rec), 0);
}

TEST_F(DirectorySearchTest, NothingMatchingIsCode2AndOnlyExcludedMatchesIsCode18) {
  dir_.Write("a.txt", "x");
  TSearchRec rec;
  EXPECT_EQ(SearchFirst(fs_, Pattern("*.pdf"), 0, rec), 2);
  EXPECT_EQ(rec.SearchHandle, nullptr);

  dir_.MakeFolder("only.pdf");
  fs_.MarkHidden(dir_.Write("h.pdf", "x"));
  EXPECT_EQ(SearchFirst(fs_, Pattern("*.pdf"), 0, rec), 18);
  EXPECT_EQ(rec.SearchHandle, nullptr);
  // "." and ".." are folders, so a folder of files that are all hidden ends the same way.
  EXPECT_EQ(SearchFirst(fs_, Pattern("*.*"), 0, rec) == 0, true);  // a.txt
  fs_.MarkHidden(dir_.path() / "a.txt");
  EXPECT_EQ(SearchFirst(fs_, Pattern("*.*"), 0, rec), 18);
}

TEST_F(DirectorySearchTest, PatternWithoutFolderIsTakenFromTheCurrentFolder) {
  dir_.Write("sub/a.pdf", "x");
  dir_.Write("b.pdf", "x");
  fs::current_path(dir_.path());
  EXPECT_EQ(Names("*.pdf", 0), (NameList{"b.pdf"}));
  EXPECT_EQ(Names("sub/*.pdf", 0), (NameList{"a.pdf"}));
}

TEST_F(DirectorySearchTest, AnOpenSearchIsNotMovedByAChangeOfCurrentFolder) {
  dir_.Write("one/a.pdf", "x");
  dir_.Write("one/b.pdf", "x");
  dir_.MakeFolder("two");
  fs::current_path(dir_.path() / "one");
  TSearchRec rec;
  ASSERT_EQ(SearchFirst(fs_, "*.pdf", 0, rec), 0);
  fs::current_path(dir_.path() / "two");
  EXPECT_EQ(SearchNext(rec), 0);
  EXPECT_EQ(SearchNext(rec), 18);
}

TEST_F(DirectorySearchTest, SizeTimeAndNameOfAnEntry) {
  setenv("TZ", "UTC0", 1);
  tzset();
  const auto big = dir_.Write("big.pdf", "");
  fs::resize_file(big, (int64_t{1} << 32) + 5);  // sparse: costs no disk space
  test::SetModifiedTime(big, 1710510331);        // 2024-03-15 13:45:31 UTC
  const auto old = dir_.Write("old.pdf", "x");
  test::SetModifiedTime(old, 252460800 - 1);  // 1979-12-31 23:59:59 UTC

  TSearchRec rec;
  ASSERT_EQ(SearchFirst(fs_, Pattern("big.pdf"), 0, rec), 0);
  EXPECT_EQ(rec.EntryName, "big.pdf");
  EXPECT_EQ(rec.EntrySize, 5);
  EXPECT_EQ(rec.PlatformEntry.status.size, (int64_t{1} << 32) + 5);
  EXPECT_EQ(static_cast<uint32_t>(rec.EntryTime),
            ((44u << 9 | 3u << 5 | 15u) << 16) | (13u << 11 | 45u << 5 | 15u));
  ASSERT_EQ(SearchFirst(fs_, Pattern("old.pdf"), 0, rec), 0);
  EXPECT_EQ(rec.EntryTime, -1);
}

TEST_F(DirectorySearchTest, FailuresOfTheFileSystemBecomeCodes) {
  const auto locked = dir_.MakeFolder("locked");
  dir_.Write("locked/a.pdf", "x");
  TSearchRec rec;
  fs_.FailCall(FsCall::kOpenDirectory, locked, EACCES);
  EXPECT_EQ(SearchFirst(fs_, Pattern("locked/*.pdf"), 0, rec), 5);
  fs_.FailCall(FsCall::kOpenDirectory, locked, ENOMEDIUM);
  EXPECT_EQ(SearchFirst(fs_, Pattern("locked/*.pdf"), 0, rec), 21);
  fs_.FailCall(FsCall::kOpenDirectory, locked, ELOOP);
  EXPECT_EQ(SearchFirst(fs_, Pattern("locked/*.pdf"), 0, rec), ELOOP);
  EXPECT_EQ(rec.SearchHandle, nullptr);
}

TEST_F(DirectorySearchTest, AnEntryWhoseStatusCannotBeReadIsNeverYieldedByDefault) {
  dir_.Write("a.pdf", "x");
  fs_.FailCall(FsCall::kStat, dir_.Write("b.pdf", "x"), EACCES);
  EXPECT_EQ(Names(Pattern("*.pdf"), 0), (NameList{"a.pdf"}));
  EXPECT_EQ(Names(Pattern("*.pdf"), kAttrSystem), (NameList{"a.pdf", "b.pdf"}));
}

TEST_F(DirectorySearchTest, ClosingTwiceAndSearchingAgainWithTheSameRecord) {
  dir_.Write("a.pdf", "x");
  dir_.Write("b.txt", "x");
  TSearchRec rec;
  ASSERT_EQ(SearchFirst(fs_, Pattern("*.pdf"), 0, rec), 0);
  SearchClose(rec);
  SearchClose(rec);
  EXPECT_EQ(rec.SearchHandle, nullptr);
  ASSERT_EQ(SearchFirst(fs_, Pattern("*.txt"), 0, rec), 0);
  EXPECT_EQ(rec.EntryName, "b.txt");
  EXPECT_EQ(SearchNext(rec), 18);
}

TEST_F(DirectorySearchTest, APatternEndingInADelimiterMatchesNothing) {
  dir_.Write("a.pdf", "x");
  TSearchRec rec;
  EXPECT_EQ(SearchFirst(fs_, dir_.str() + "/", kAttrDirectory, rec), 2);
}

}  // namespace
}  // namespace foliotally
