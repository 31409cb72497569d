#include "platform/posix_file_system.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <set>

#include "support/special_files.h"
#include "support/temp_dir.h"

namespace foliotally {
namespace {

namespace fs = std::filesystem;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_cwd_ = fs::current_path(); }
  void TearDown() override { fs::current_path(saved_cwd_); }

  // Every entry of a folder with its status.
  std::map<std::string, FileStatus> ReadAll(const std::string& folder) {
    std::unique_ptr<DirectoryStream> stream;
    EXPECT_EQ(fs_.OpenDirectory(folder, stream), 0);
    std::map<std::string, FileStatus> entries;
    std::string name;
    int error = 0;
    while (stream && stream->Next(name, error)) {
      FileStatus status;
      EXPECT_EQ(stream->StatCurrent(status), 0) << name;
      entries[name] = status;
    }
    EXPECT_EQ(error, 0);
    return entries;
  }

  test::TempDir dir_;
  PosixFileSystem fs_;
  fs::path saved_cwd_;
};

TEST_F(PosixFileSystemTest, AFolderStreamYieldsEveryEntryWithItsKind) {
  dir_.Write("a.pdf", "abc");
  dir_.MakeFolder("sub");
  dir_.MakeFolder(".cache");
  test::MakeFifo(dir_.path() / "fifo.pdf");
  test::MakeSocket(dir_.path() / "sock.pdf");
  fs::create_symlink(dir_.path() / "nowhere", dir_.path() / "dangling.pdf");
  fs::create_symlink(dir_.path() / "sub", dir_.path() / "linked");
  fs::create_symlink("self", dir_.path() / "self");  // a loop

  const auto entries = ReadAll(dir_.str());
  ASSERT_EQ(entries.size(), 10u);
  EXPECT_EQ(entries.at(".").kind, EntryKind::kFolder);
  EXPECT_EQ(entries.at("..").kind, EntryKind::kFolder);
  EXPECT_EQ(entries.at("a.pdf").attributes, kAttrArchive);
  EXPECT_EQ(entries.at("a.pdf").size, 3);
  EXPECT_EQ(entries.at("sub").attributes, kAttrDirectory);
  EXPECT_EQ(entries.at(".cache").attributes, kAttrDirectory);  // a dot name is not hidden
  EXPECT_EQ(entries.at("fifo.pdf").attributes, kAttrSystem);
  EXPECT_EQ(entries.at("sock.pdf").attributes, kAttrSystem);
  EXPECT_EQ(entries.at("dangling.pdf").attributes, kAttrSystem);
  EXPECT_EQ(entries.at("self").attributes, kAttrSystem);
  EXPECT_EQ(entries.at("linked").kind, EntryKind::kFolder);
  EXPECT_EQ(entries.at("linked").inode, entries.at("sub").inode);
  EXPECT_EQ(entries.at("linked").device, entries.at("sub").device);
}

TEST_F(PosixFileSystemTest, OpeningFailuresAreErrnoValues) {
  dir_.Write("file", "x");
  std::unique_ptr<DirectoryStream> stream;
  EXPECT_EQ(fs_.OpenDirectory(dir_.str() + "/missing", stream), ENOENT);
  EXPECT_EQ(fs_.OpenDirectory(dir_.str() + "/file", stream), ENOTDIR);
  EXPECT_EQ(fs_.OpenDirectory("", stream), ENOENT);
  EXPECT_EQ(stream, nullptr);
}

TEST_F(PosixFileSystemTest, StatFollowsLinksAndReportsWhatIsMissing) {
  dir_.Write("a.pdf", "x");
  fs::create_symlink(dir_.path() / "a.pdf", dir_.path() / "link.pdf");
  fs::create_symlink(dir_.path() / "gone", dir_.path() / "dangling");
  FileStatus status;
  ASSERT_EQ(fs_.Stat(dir_.str() + "/link.pdf", status), 0);
  EXPECT_EQ(status.kind, EntryKind::kRegularFile);
  ASSERT_EQ(fs_.Stat(dir_.str() + "/dangling", status), 0);
  EXPECT_EQ(status.attributes, kAttrSystem);
  EXPECT_EQ(fs_.Stat(dir_.str() + "/missing", status), ENOENT);
  EXPECT_EQ(fs_.Stat(dir_.str() + "/a.pdf/x", status), ENOTDIR);
  EXPECT_EQ(fs_.Stat("", status), ENOENT);
}

// More names than one read of the folder returns: each comes once, and the descriptor the
// stream shares outlives it.
TEST_F(PosixFileSystemTest, ALargeFolderIsReadWholeAndItsDescriptorShared) {
  constexpr int kFiles = 1500;  // with 60-byte names, several reads of 32 KiB
  const std::string pad(56, 'x');
  for (int i = 0; i < kFiles; ++i) dir_.Write(pad + std::to_string(1000 + i), "");
  std::unique_ptr<DirectoryStream> stream;
  ASSERT_EQ(fs_.OpenDirectory(dir_.str(), stream), 0);
  std::set<std::string> names;
  std::string name;
  int error = 0;
  int read = 0;
  while (stream->Next(name, error)) {
    names.insert(name);
    ++read;
  }
  EXPECT_EQ(error, 0);
  EXPECT_EQ(read, kFiles + 2);
  EXPECT_EQ(names.size(), static_cast<size_t>(kFiles + 2));
  EXPECT_FALSE(stream->Next(name, error));  // the end stays the end
  const auto folder = stream->ShareDescriptor();
  stream.reset();
  ASSERT_NE(folder, nullptr);
  EXPECT_TRUE(folder->Open((pad + "1000").c_str()).ok());
}

TEST_F(PosixFileSystemTest, SambaHiddenAttributeIsRead) {
  const auto hidden = dir_.Write("hidden.pdf", "x");
  const auto plain = dir_.Write("plain.pdf", "x");
  const std::string value("0x22\0\x05\x00", 7);
  if (setxattr(hidden.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) != 0)
    GTEST_SKIP() << "no user extended attributes on " << dir_.str();
  const std::string not_hidden = "0x20";
  ASSERT_EQ(setxattr(plain.c_str(), "user.DOSATTRIB", not_hidden.data(), not_hidden.size(), 0), 0);
  FileStatus status;
  ASSERT_EQ(fs_.Stat(hidden.string(), status), 0);
  EXPECT_EQ(status.attributes, kAttrArchive | kAttrHidden);
  ASSERT_EQ(fs_.Stat(plain.string(), status), 0);
  EXPECT_EQ(status.attributes, kAttrArchive);
  const auto entries = ReadAll(dir_.str());
  EXPECT_EQ(entries.at("hidden.pdf").attributes, kAttrArchive | kAttrHidden);
  EXPECT_EQ(entries.at("plain.pdf").attributes, kAttrArchive);
}

TEST_F(PosixFileSystemTest, TheListingTellsWhichEntriesAreCertainlyNoFolders) {
  dir_.Write("a.pdf", "abc");
  dir_.MakeFolder("sub");
  test::MakeFifo(dir_.path() / "fifo");
  fs::create_symlink(dir_.path() / "sub", dir_.path() / "linked");
  fs::create_symlink(dir_.path() / "a.pdf", dir_.path() / "to_file");
  std::unique_ptr<DirectoryStream> stream;
  ASSERT_EQ(fs_.OpenDirectory(dir_.str(), stream), 0);
  EXPECT_FALSE(stream->IsListedAsNonFolder());  // nothing read yet
  std::map<std::string, bool> non_folder;
  std::string name;
  int error = 0;
  while (stream->Next(name, error)) non_folder[name] = stream->IsListedAsNonFolder();
  // A file system that does not fill in entry types (DT_UNKNOWN) may leave everything false;
  // links are never judged by the listing, as they may lead to a folder.
  for (const auto& [entry, certain] : non_folder) {
    if (certain) {
      EXPECT_TRUE(entry == "a.pdf" || entry == "fifo") << entry;
    }
  }
  EXPECT_FALSE(non_folder.at("sub"));
  EXPECT_FALSE(non_folder.at("linked"));
  EXPECT_FALSE(non_folder.at("to_file"));
}

TEST_F(PosixFileSystemTest, TheHiddenBitOfAListedLinkIsItsTargets) {
  const auto hidden = dir_.Write("hidden.pdf", "x");
  const std::string value = "0x2";
  if (setxattr(hidden.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) != 0)
    GTEST_SKIP() << "no user extended attributes on " << dir_.str();
  fs::create_symlink(hidden, dir_.path() / "link.pdf");
  dir_.Write("plain.pdf", "x");
  const auto entries = ReadAll(dir_.str());
  EXPECT_EQ(entries.at("link.pdf").attributes, kAttrArchive | kAttrHidden);
  EXPECT_EQ(entries.at("plain.pdf").attributes, kAttrArchive);
  FileStatus status;
  ASSERT_EQ(fs_.Stat(dir_.str() + "/link.pdf", status), 0);
  EXPECT_EQ(status.attributes, kAttrArchive | kAttrHidden);
  ASSERT_EQ(fs_.StatIgnoringHidden(dir_.str() + "/link.pdf", status), 0);
  EXPECT_EQ(status.kind, EntryKind::kRegularFile);
}

TEST_F(PosixFileSystemTest, CurrentFolderGoesAndComesBack) {
  const auto sub = fs::canonical(dir_.MakeFolder("sub"));
  ASSERT_EQ(fs_.ChangeDirectory(sub.string()), 0);
  std::string current;
  ASSERT_EQ(fs_.CurrentDirectory(current), 0);
  EXPECT_EQ(current, sub.string());
  EXPECT_EQ(fs_.ChangeDirectory(dir_.str() + "/missing"), ENOENT);
  EXPECT_EQ(fs_.ChangeDirectory(""), ENOENT);
  ASSERT_EQ(fs_.CurrentDirectory(current), 0);
  EXPECT_EQ(current, sub.string());
}

TEST_F(PosixFileSystemTest, ALongCurrentFolderIsReadWhole) {
  std::string relative;
  for (int i = 0; i < 40; ++i) relative += std::string(20, 'a' + i % 26) + "/";
  const auto deep = fs::canonical(dir_.MakeFolder(relative));
  ASSERT_EQ(fs_.ChangeDirectory(deep.string()), 0);
  std::string current;
  ASSERT_EQ(fs_.CurrentDirectory(current), 0);
  EXPECT_EQ(current, deep.string());
}

TEST_F(PosixFileSystemTest, ARemovedCurrentFolderHasNoName) {
  const auto gone = dir_.MakeFolder("gone");
  ASSERT_EQ(fs_.ChangeDirectory(gone.string()), 0);
  fs::remove(gone);
  std::string current = "unchanged";
  EXPECT_EQ(fs_.CurrentDirectory(current), ENOENT);
  EXPECT_EQ(current, "unchanged");
}

TEST_F(PosixFileSystemTest, CaseRulesOfATemporaryFolder) {
  CaseRules rules;
  ASSERT_EQ(fs_.CaseRulesOf(dir_.str(), rules), 0);
  EXPECT_TRUE(rules.preserves_case);
  EXPECT_EQ(fs_.CaseRulesOf(dir_.str() + "/missing", rules), ENOENT);
}

TEST_F(PosixFileSystemTest, TheVolumeTableHoldsTheRootAndNoPseudoFileSystems) {
  const std::vector<Volume> volumes = fs_.Volumes();
  EXPECT_TRUE(
      std::any_of(volumes.begin(), volumes.end(), [](const Volume& v) { return v.root == "/"; }));
  for (const Volume& v : volumes) {
    EXPECT_NE(v.type, "proc") << v.root;
    EXPECT_NE(v.type, "sysfs") << v.root;
    EXPECT_NE(v.root, "/proc") << v.type;
  }
}

}  // namespace
}  // namespace foliotally
