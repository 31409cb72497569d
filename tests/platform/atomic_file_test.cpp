// The one writer of whole files: exact bytes, links followed, permissions and owner kept,
// streams written directly or refused, and every failure leaving the target as it was and
// no temporary file behind.
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "support/fake_file_system.h"
#include "support/special_files.h"
#include "support/temp_dir.h"

namespace foliotally {
namespace {

namespace fs = std::filesystem;
using test::FsCall;
using test::ReadFileBytes;
using test::TempDir;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Writes `text` to `path` in one go; returns 0 or the errno of the failing step.
int WriteWhole(FileWriting& io, const std::string& path, std::string_view text,
               AtomicFile::Streams streams = AtomicFile::Streams::kRefuse) {
  AtomicFile file(io, path, streams);
  if (const int error = file.Open(); error != 0) return error;
  if (const int error = file.Write(text); error != 0) return error;
  return file.Commit();
}

class AtomicFileTest : public ::testing::Test {
 protected:
  int Write(const fs::path& path, std::string_view text,
            AtomicFile::Streams streams = AtomicFile::Streams::kRefuse) {
    return WriteWhole(fake_.Writing(), path.string(), text, streams);
  }
  TempDir dir_;
  test::FakeFileSystem fake_;
};

TEST_F(AtomicFileTest, ReplacesTheTargetOnlyOnCommitKeepingItsMode) {
  const fs::path target = dir_.Write("r.txt", std::string(500, 'o'));
  ::chmod(target.c_str(), 0640);
  {
    AtomicFile file(fake_.Writing(), target.string(), AtomicFile::Streams::kRefuse);
    ASSERT_EQ(file.Open(), 0);
    ASSERT_EQ(file.Write("new text\r\n"), 0);
    EXPECT_EQ(ReadFileBytes(target), std::string(500, 'o'));
    EXPECT_EQ(fs::path(file.temporary_path()).parent_path(), dir_.path());
    EXPECT_EQ(fs::path(file.temporary_path()).filename().string().rfind(".r.txt.tmp-", 0), 0u);
    ASSERT_EQ(file.Commit(), 0);
  }
  EXPECT_EQ(ReadFileBytes(target), "new text\r\n");
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"r.txt"});
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(AtomicFileTest, NewFileGetsTheUsualPermissions) {
  const mode_t mask = ::umask(022);
  EXPECT_EQ(Write(dir_.path() / "new.txt", "x"), 0);
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat((dir_.path() / "new.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(AtomicFileTest, KeepsTheOwnerWhereAllowed) {
  const fs::path target = dir_.Write("theirs.txt", "old");
  if (::chown(target.c_str(), 4321, 8765) != 0)
    GTEST_SKIP() << "only an administrator may give a file away";
  EXPECT_EQ(Write(target, "new"), 0);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 8765u);
}

TEST_F(AtomicFileTest, FollowsLinksToTheFileTheyNameAndKeepsThem) {
  const fs::path real = dir_.Write("data/real.txt", "old");
  fs::create_symlink("data/real.txt", dir_.path() / "relative");
  fs::create_symlink(dir_.path() / "relative", dir_.path() / "chain");
  EXPECT_EQ(Write(dir_.path() / "chain", "through two links"), 0);
  EXPECT_TRUE(fs::is_symlink(dir_.path() / "chain"));
  EXPECT_EQ(ReadFileBytes(real), "through two links");
  EXPECT_EQ(Names(dir_.path() / "data"), std::vector<std::string>{"real.txt"});
  // A dangling link creates the file it names.
  fs::create_symlink("data/made.txt", dir_.path() / "dangling");
  EXPECT_EQ(Write(dir_.path() / "dangling", "made"), 0);
  EXPECT_EQ(ReadFileBytes(dir_.path() / "data/made.txt"), "made");
  fs::create_symlink("loop", dir_.path() / "loop");
  EXPECT_EQ(Write(dir_.path() / "loop", "x"), ELOOP);
}

TEST_F(AtomicFileTest, RefusesFoldersReadOnlyFilesAndMissingFolders) {
  const fs::path folder = dir_.MakeFolder("folder.txt");
  EXPECT_EQ(Write(folder, "x"), EISDIR);
  const fs::path locked = dir_.Write("locked.txt", "keep me");
  ::chmod(locked.c_str(), 0444);
  EXPECT_EQ(Write(locked, "x"), EACCES) << "read-only holds for an administrator too";
  EXPECT_EQ(ReadFileBytes(locked), "keep me");
  EXPECT_EQ(Write(dir_.path() / "nowhere" / "out.txt", "x"), ENOENT);
  EXPECT_EQ(Write("", "x"), ENOENT);
  EXPECT_EQ(Names(dir_.path()), (std::vector<std::string>{"folder.txt", "locked.txt"}));
}

TEST_F(AtomicFileTest, StreamsAreRefusedOrWrittenDirectly) {
  const fs::path fifo = dir_.path() / "pipe.txt";
  test::MakeFifo(fifo);
  EXPECT_EQ(Write(fifo, "x"), EINVAL);
  // Without a reader the open does not wait.
  EXPECT_EQ(Write(fifo, "x", AtomicFile::Streams::kWriteDirectly), ENXIO);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(Write(fifo, "through the pipe", AtomicFile::Streams::kWriteDirectly), 0);
  char buffer[64] = {};
  EXPECT_EQ(::read(reader, buffer, sizeof buffer), 16);
  ::close(reader);
  EXPECT_EQ(std::string(buffer), "through the pipe");
  EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"pipe.txt"});
}

TEST_F(AtomicFileTest, ShortWritesStillWriteEverything) {
  fake_.LimitWrites(3);
  EXPECT_EQ(Write(dir_.path() / "out.txt", "C:\\Docs\\a.pdf;12\r\n"), 0);
  EXPECT_EQ(ReadFileBytes(dir_.path() / "out.txt"), "C:\\Docs\\a.pdf;12\r\n");
}

TEST_F(AtomicFileTest, EveryFailureLeavesTheOldFileAndNoTemporary) {
  const fs::path target = dir_.Write("out.txt", "the old results\r\n");
  struct Case {
    FsCall call;
    int error;
    bool replacing;
  };
  for (const Case& c : {Case{FsCall::kCreate, EACCES, false}, Case{FsCall::kWrite, ENOSPC, false},
                        Case{FsCall::kSync, EIO, false}, Case{FsCall::kRename, EBUSY, true}}) {
    test::FakeFileSystem fake;
    fake.FailWriting(c.call, c.error, /*after_bytes=*/10);
    AtomicFile file(fake.Writing(), target.string(), AtomicFile::Streams::kRefuse);
    int error = file.Open();
    if (error == 0) error = file.Write(std::string(100, 'n'));
    if (error == 0) error = file.Commit();
    EXPECT_EQ(error, c.error) << static_cast<int>(c.call);
    EXPECT_EQ(file.replace_failed(), c.replacing);
    EXPECT_EQ(ReadFileBytes(target), "the old results\r\n");
    EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"out.txt"});
  }
}

TEST_F(AtomicFileTest, DiscardedFileLeavesNothing) {
  const fs::path target = dir_.Write("out.txt", "old");
  {
    AtomicFile file(fake_.Writing(), target.string(), AtomicFile::Streams::kRefuse);
    ASSERT_EQ(file.Open(), 0);
    ASSERT_EQ(file.Write(std::string(100'000, 'y')), 0);
  }
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"out.txt"});
}

}  // namespace
}  // namespace foliotally
