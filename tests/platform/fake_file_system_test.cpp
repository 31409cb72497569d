#include "support/fake_file_system.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

namespace fs = std::filesystem;

class FakeFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_cwd_ = fs::current_path(); }
  void TearDown() override { fs::current_path(saved_cwd_); }
  TempDir dir_;
  FakeFileSystem fs_;
  fs::path saved_cwd_;
};

TEST_F(FakeFileSystemTest, MarksShowInStatAndInFolderStreams) {
  dir_.Write("a.pdf", "x");
  dir_.MakeFolder("sub");
  fs_.MarkHidden(dir_.str() + "/a.pdf");
  fs::current_path(dir_.path());
  fs_.MarkSystem("sub/");  // relative, with a trailing delimiter

  FileStatus status;
  ASSERT_EQ(fs_.Stat(dir_.str() + "/./a.pdf", status), 0);
  EXPECT_EQ(status.attributes, kAttrArchive | kAttrHidden);

  std::unique_ptr<DirectoryStream> stream;
  ASSERT_EQ(fs_.OpenDirectory(dir_.str() + "/", stream), 0);
  std::string name;
  int error = 0;
  int seen = 0;
  while (stream->Next(name, error)) {
    ASSERT_EQ(stream->StatCurrent(status), 0);
    if (name == "a.pdf") {
      EXPECT_EQ(status.attributes, kAttrArchive | kAttrHidden);
      ++seen;
    } else if (name == "sub") {
      EXPECT_EQ(status.attributes, kAttrDirectory | kAttrSystem);
      ++seen;
    }
  }
  EXPECT_EQ(seen, 2);
}

TEST_F(FakeFileSystemTest, ChosenCallsFailWithTheChosenErrno) {
  const auto sub = dir_.MakeFolder("sub");
  fs_.FailCall(FsCall::kOpenDirectory, sub, EACCES);
  fs_.FailCall(FsCall::kChangeDirectory, sub, ENOMEDIUM);
  fs_.FailCall(FsCall::kStat, sub, EIO);
  std::unique_ptr<DirectoryStream> stream;
  EXPECT_EQ(fs_.OpenDirectory(sub.string(), stream), EACCES);
  EXPECT_EQ(fs_.ChangeDirectory(sub.string()), ENOMEDIUM);
  FileStatus status;
  EXPECT_EQ(fs_.Stat(sub.string(), status), EIO);
  EXPECT_EQ(fs_.CallCount(FsCall::kOpenDirectory), 1);
  fs_.ClearFailures();
  EXPECT_EQ(fs_.ChangeDirectory(sub.string()), 0);
}

TEST_F(FakeFileSystemTest, VolumesAndCaseRulesCanBeReplaced) {
  Volume card;
  card.root = "/media/card";
  card.kind = VolumeKind::kRemovable;
  fs_.SetVolumes({card});
  ASSERT_EQ(fs_.Volumes().size(), 1u);
  EXPECT_EQ(fs_.Volumes()[0].root, "/media/card");
  fs_.SetCaseRules(CaseRules{.preserves_case = true, .case_sensitive = false});
  CaseRules rules;
  ASSERT_EQ(fs_.CaseRulesOf(dir_.str(), rules), 0);
  EXPECT_FALSE(rules.case_sensitive);
}

}  // namespace
}  // namespace foliotally::test
