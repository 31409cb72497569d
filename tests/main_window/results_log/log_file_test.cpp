// Writing the log to a file: exact bytes, replacing an old file whole, and every way the
// save can fail leaving the old file as it was and no temporary file behind.
#include "main_window/results_log/log_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "errors/errors.h"
#include "support/temp_dir.h"

namespace foliotally {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;

const std::string kExample = "C:\\Docs\\a.pdf;12\r\nC:\\Docs\\b.pdf;3\r\n";

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string CreateErrorText(const std::string& call) {
  try {
    SaveLogFile(call, kExample);
  } catch (const EFCreateError& e) {
    return e.Message();
  }
  return "no error";
}

// Lets the real calls through but fails the chosen one.
class FaultyIo : public SaveFileIo {
 public:
  std::size_t writeLimit = SIZE_MAX;  // bytes written before Write fails
  int writeError = ENOSPC;
  std::size_t chunk = SIZE_MAX;  // at most this many bytes per Write
  bool failSync = false;
  bool failRename = false;

  ssize_t Write(int fd, const char* data, std::size_t size) override {
    if (written_ >= writeLimit) {
      errno = writeError;
      return -1;
    }
    size = std::min({size, chunk, writeLimit - written_});
    const ssize_t n = SaveFileIo::Write(fd, data, size);
    if (n > 0) written_ += static_cast<std::size_t>(n);
    return n;
  }
  int Sync(int fd) override {
    if (failSync) {
      errno = EIO;
      return -1;
    }
    return SaveFileIo::Sync(fd);
  }
  int Rename(const char* from, const char* to) override {
    if (failRename) {
      errno = EBUSY;
      return -1;
    }
    return SaveFileIo::Rename(from, to);
  }

 private:
  std::size_t written_ = 0;
};

TEST(SaveLogFile, WritesTheTextByteForByteWhateverTheExtension) {
  TempDir dir;
  for (const char* name : {"out.txt", "out.csv", "results"}) {
    SaveLogFile((dir.path() / name).string(), kExample);
    EXPECT_EQ(ReadFileBytes(dir.path() / name), kExample);
  }
  const std::string posix = "/docs/a.pdf;12\r\n/docs/b.pdf;3\r\n";
  SaveLogFile((dir.path() / "posix.txt").string(), posix);
  EXPECT_EQ(ReadFileBytes(dir.path() / "posix.txt"), posix);
  EXPECT_EQ(Names(dir.path()),
            (std::vector<std::string>{"out.csv", "out.txt", "posix.txt", "results"}));
}

TEST(SaveLogFile, ReplacesALongerFileWholeAndKeepsItsPermissions) {
  TempDir dir;
  const fs::path target = dir.Write("out.txt", std::string(500, 'o'));
  ::chmod(target.c_str(), 0640);
  SaveLogFile(target.string(), kExample);
  EXPECT_EQ(ReadFileBytes(target), kExample);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SaveLogFile, NewFileGetsTheUsualPermissions) {
  TempDir dir;
  const mode_t mask = ::umask(022);
  SaveLogFile((dir.path() / "new.txt").string(), kExample);
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat((dir.path() / "new.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(SaveLogFile, SavingThroughALinkKeepsTheLink) {
  TempDir dir;
  const fs::path real = dir.Write("real.txt", "old");
  fs::create_symlink(real, dir.path() / "link.txt");
  SaveLogFile((dir.path() / "link.txt").string(), kExample);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.txt"));
  EXPECT_EQ(ReadFileBytes(real), kExample);
}

TEST(SaveLogFileErrors, ReadOnlyTargetGivesTheCreateErrorAndStaysUnchanged) {
  TempDir dir;
  const fs::path target = dir.Write("locked.txt", "keep me");
  ::chmod(target.c_str(), 0444);
  EXPECT_EQ(CreateErrorText(target.string()),
            "Cannot create file \"" + target.string() + "\". Permission denied");
  EXPECT_EQ(ReadFileBytes(target), "keep me");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"locked.txt"});
}

TEST(SaveLogFileErrors, MissingFolderFolderTargetAndFifoAreCreateErrors) {
  TempDir dir;
  const std::string missing = (dir.path() / "nowhere" / "out.txt").string();
  EXPECT_EQ(CreateErrorText(missing),
            "Cannot create file \"" + missing + "\". No such file or directory");
  const fs::path folder = dir.MakeFolder("folder.txt");
  EXPECT_EQ(CreateErrorText(folder.string()),
            "Cannot create file \"" + folder.string() + "\". Is a directory");
  const fs::path fifo = dir.path() / "pipe.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_EQ(CreateErrorText(fifo.string()),
            "Cannot create file \"" + fifo.string() + "\". Invalid argument");
  EXPECT_EQ(CreateErrorText(""), "Cannot create file \"\". No such file or directory");
}

TEST(SaveLogFileErrors, TheMessageNamesTheFullPath) {
  const std::string cwd = fs::current_path().string();
  EXPECT_EQ(FullPathName("sub/../x.txt"), cwd + "/x.txt");
  EXPECT_EQ(FullPathName("/a/./b/../c.csv"), "/a/c.csv");
  EXPECT_EQ(
      CreateErrorText("no-such-folder-here/out.txt"),
      "Cannot create file \"" + cwd + "/no-such-folder-here/out.txt\". No such file or directory");
}

TEST(SaveLogFileErrors, WriteFailureHalfWayLeavesTheOldFileWhole) {
  TempDir dir;
  const fs::path target = dir.Write("out.txt", "the old results\r\n");
  FaultyIo io;
  io.writeLimit = 10;
  try {
    SaveLogFile(target.string(), kExample, io);
    FAIL() << "no stream error";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "Failed to Save Stream");
  }
  EXPECT_EQ(ReadFileBytes(target), "the old results\r\n");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(SaveLogFileErrors, SyncAndRenameFailuresLeaveNoTemporaryFile) {
  TempDir dir;
  const fs::path target = dir.Write("out.txt", "old");
  FaultyIo syncFails;
  syncFails.failSync = true;
  EXPECT_THROW(SaveLogFile(target.string(), kExample, syncFails), EOutOfResources);
  FaultyIo renameFails;
  renameFails.failRename = true;
  EXPECT_THROW(SaveLogFile(target.string(), kExample, renameFails), EFCreateError);
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(SaveLogFile, ShortWritesStillWriteEverything) {
  TempDir dir;
  FaultyIo io;
  io.chunk = 3;
  SaveLogFile((dir.path() / "out.txt").string(), kExample, io);
  EXPECT_EQ(ReadFileBytes(dir.path() / "out.txt"), kExample);
}

TEST(SystemReason, DropsTrailingSpacesBreaksAndPeriods) {
  EXPECT_EQ(SystemReason(EACCES), "Permission denied");
  EXPECT_EQ(SystemReason(ENOSPC), "No space left on device");
}

}  // namespace
}  // namespace foliotally
