// The walk rules shared by "Count All" and foliotally-count, on real temporary folders
// through the test file system: what one folder gives a walk, in which order, and which
// folders are walked once.
#include "folder_browser/tree_walk_rules.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/posix_file_system.h"
#include "support/fake_file_system.h"
#include "support/special_files.h"
#include "support/temp_dir.h"

namespace foliotally {
namespace {

using test::FakeFileSystem;
using test::FsCall;
using test::TempDir;
using Names = std::vector<std::string>;

class TreeWalkRulesTest : public ::testing::Test {
 protected:
  void Touch(const std::string& relative) { dir_.Write(relative, "x"); }
  std::string Path(const std::string& relative) const { return dir_.str() + "/" + relative; }

  // Reads a folder with the masks given, or subfolders only without any.
  int Read(const std::string& relative, const std::vector<std::string>* masks = nullptr,
           HiddenFiles hidden = HiddenFiles::kLeftOut) {
    listing_ = WalkListing{};
    if (!masks) return ReadFolderForWalk(fs_, Path(relative), nullptr, listing_, hidden);
    const FileMasks file_masks(*masks);
    return ReadFolderForWalk(fs_, Path(relative), &file_masks, listing_, hidden);
  }
  Names Subfolders() const {
    Names names;
    for (const WalkSubfolder& sub : listing_.subfolders) names.push_back(sub.name);
    return names;
  }

  TempDir dir_;
  FakeFileSystem fs_;
  WalkListing listing_;
  const std::vector<std::string> pdf_ = {"*.pdf"};
};

TEST_F(TreeWalkRulesTest, NameOrderFoldsAsciiCaseAndThenTellsCaseApartByBytes) {
  EXPECT_TRUE(WalkNameLess("A", "a"));
  EXPECT_FALSE(WalkNameLess("a", "A"));
  EXPECT_TRUE(WalkNameLess("a", "B"));
  EXPECT_TRUE(WalkNameLess("ab", "abc"));
  EXPECT_TRUE(WalkNameLess("_x", "alpha"));  // '_' lies between the upper and lower letters
  EXPECT_FALSE(WalkNameLess("b", "b"));
}

TEST_F(TreeWalkRulesTest, FilesAndSubfoldersComeSortedInTheWalkNameOrder) {
  for (const char* name : {"S/b.pdf", "S/C.PDF", "S/A.pdf", "S/a.pdf", "S/readme.txt",
                           "S/beta/1.pdf", "S/Alpha/2.pdf", "S/_x/3.pdf"})
    Touch(name);
  ASSERT_EQ(Read("S", &pdf_), 0);
  EXPECT_EQ(listing_.files, (Names{"A.pdf", "a.pdf", "b.pdf", "C.PDF"}));
  EXPECT_EQ(Subfolders(), (Names{"_x", "Alpha", "beta"}));
  EXPECT_NE(listing_.descriptor, nullptr);  // held open for counting the files by name
}

TEST_F(TreeWalkRulesTest, HiddenSystemAndDotEntriesAreLeftOut) {
  for (const char* name : {"S/shown.pdf", "S/hidden.pdf", "S/device.pdf", "S/H/a.pdf",
                           "S/Sys/a.pdf", "S/.cache/a.pdf", "S/Open/a.pdf"})
    Touch(name);
  fs_.MarkHidden(Path("S/hidden.pdf"));
  fs_.MarkSystem(Path("S/device.pdf"));
  fs_.MarkHidden(Path("S/H"));
  fs_.MarkSystem(Path("S/Sys"));
  test::MakeFifo(dir_.path() / "S/fifo.pdf");
  std::filesystem::create_symlink(dir_.path() / "S/gone", dir_.path() / "S/dangling.pdf");
  ASSERT_EQ(Read("S", &pdf_), 0);
  EXPECT_EQ(listing_.files, Names{"shown.pdf"});
  EXPECT_EQ(Subfolders(), Names{"Open"});
}

// Left to the counter, a file's hidden bit is read from the file once opened; the listing
// says so, and without a descriptor to open the files from it is read at once instead.
TEST_F(TreeWalkRulesTest, HiddenBitOfFilesCanBeLeftToWhoeverOpensThem) {
  Touch("S/plain.pdf");
  const std::string value = "0x2";
  const std::string hidden = Path("S/hidden.pdf");
  Touch("S/hidden.pdf");
  if (setxattr(hidden.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) != 0)
    GTEST_SKIP() << "no user extended attributes on " << dir_.str();
  PosixFileSystem real;
  const FileMasks pdf(std::vector<std::string>{"*.pdf"});
  WalkListing now;
  ASSERT_EQ(ReadFolderForWalk(real, Path("S"), &pdf, now), 0);
  EXPECT_EQ(now.files, Names{"plain.pdf"});
  EXPECT_FALSE(now.hidden_unchecked);
  WalkListing later;
  ASSERT_EQ(ReadFolderForWalk(real, Path("S"), &pdf, later, HiddenFiles::kWhenOpened), 0);
  EXPECT_EQ(later.files, (Names{"hidden.pdf", "plain.pdf"}));
  ASSERT_TRUE(later.hidden_unchecked);
  ASSERT_NE(later.descriptor, nullptr);
  EXPECT_TRUE(later.descriptor->IsHidden(later.descriptor->Open("hidden.pdf")));
  EXPECT_FALSE(later.descriptor->IsHidden(later.descriptor->Open("plain.pdf")));
  EXPECT_FALSE(later.descriptor->IsHidden(later.descriptor->Open("missing.pdf")));
}

TEST_F(TreeWalkRulesTest, WithoutADescriptorHiddenFilesAreLeftOutAtOnce) {
  for (const char* name : {"S/plain.pdf", "S/marked.pdf"}) Touch(name);
  fs_.ShareNoDescriptors();
  fs_.MarkHidden(Path("S/marked.pdf"));
  const std::vector<std::string> masks{"*.pdf"};
  ASSERT_EQ(Read("S", &masks, HiddenFiles::kWhenOpened), 0);
  EXPECT_EQ(listing_.descriptor, nullptr);
  EXPECT_FALSE(listing_.hidden_unchecked);
  EXPECT_EQ(listing_.files, Names{"plain.pdf"});
}

TEST_F(TreeWalkRulesTest, MasksMatchInAnyCaseAndTakeAFileOnce) {
  for (const char* name : {"S/Report.PDF", "S/report.ai", "S/notes.txt"}) Touch(name);
  const std::vector<std::string> masks = MaskPatterns("*.pdf;rep*;;*.AI");
  EXPECT_EQ(masks, (Names{"*.pdf", "rep*", "*.AI"}));
  ASSERT_EQ(Read("S", &masks), 0);
  EXPECT_EQ(listing_.files, (Names{"report.ai", "Report.PDF"}));
  EXPECT_TRUE(MaskPatterns(";;").empty());
}

TEST_F(TreeWalkRulesTest, WithoutMasksOnlySubfoldersAreRead) {
  Touch("S/a.pdf");
  Touch("S/A/x.pdf");
  ASSERT_EQ(Read("S"), 0);
  EXPECT_TRUE(listing_.files.empty());
  EXPECT_EQ(listing_.descriptor, nullptr);
  EXPECT_EQ(Subfolders(), Names{"A"});
}

TEST_F(TreeWalkRulesTest, FolderThatCanBeListedButNotSearchedIsAFailure) {
  Touch("S/a.pdf");
  Touch("S/Sub/b.pdf");
  fs_.DenySearch(Path("S"));
  EXPECT_EQ(Read("S", &pdf_), 5);
  EXPECT_TRUE(listing_.files.empty());
  EXPECT_EQ(Read("S"), 5);  // also when only subfolders are asked for
  EXPECT_TRUE(listing_.subfolders.empty());
}

TEST_F(TreeWalkRulesTest, UnreadableFolderGivesItsCodeAndAnEmptyFolderNone) {
  Touch("S/A/x.pdf");
  dir_.MakeFolder("S/Empty");
  fs_.FailCall(FsCall::kOpenDirectory, Path("S/A"), EACCES);
  EXPECT_EQ(Read("S/A", &pdf_), 5);
  EXPECT_EQ(Read("S/Empty", &pdf_), 0);
  EXPECT_EQ(Read("missing", &pdf_), 3);
}

TEST_F(TreeWalkRulesTest, EachFolderIsWalkedOnceWhateverLeadsToIt) {
  Touch("S/A/x.pdf");
  std::filesystem::create_directory_symlink(dir_.path() / "S/A", dir_.path() / "S/link");
  ASSERT_EQ(Read("S"), 0);
  ASSERT_EQ(Subfolders(), (Names{"A", "link"}));
  EXPECT_EQ(listing_.subfolders[0].identity, listing_.subfolders[1].identity);
  WalkedFolders walked;
  EXPECT_TRUE(walked.FirstVisit(listing_.subfolders[0].identity));
  EXPECT_FALSE(walked.FirstVisit(listing_.subfolders[1].identity));
  EXPECT_TRUE(walked.FirstVisit(FolderIdentity{listing_.subfolders[0].identity.device + 1,
                                               listing_.subfolders[0].identity.inode}));
}

}  // namespace
}  // namespace foliotally
