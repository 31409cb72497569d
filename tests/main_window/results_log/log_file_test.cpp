// Writing the log to a file: exact bytes, and each way the save can fail turned into the
// create error or the stream error. The writer itself is tested with the platform.
#include "main_window/results_log/log_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "errors/errors.h"
#include "support/fake_file_system.h"
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

TEST(SaveLogFileErrors, FailuresWhileWritingAreStreamErrorsAndAFailedRenameACreateError) {
  TempDir dir;
  const fs::path target = dir.Write("out.txt", "the old results\r\n");
  for (const test::FsCall call : {test::FsCall::kWrite, test::FsCall::kSync}) {
    test::FakeFileSystem fake;
    fake.FailWriting(call, ENOSPC, /*after_bytes=*/10);
    try {
      SaveLogFile(target.string(), kExample, fake.Writing());
      FAIL() << "no stream error";
    } catch (const EOutOfResources& e) {
      EXPECT_EQ(e.Message(), "Failed to Save Stream");
    }
  }
  test::FakeFileSystem fake;
  fake.FailWriting(test::FsCall::kRename, EBUSY);
  EXPECT_THROW(SaveLogFile(target.string(), kExample, fake.Writing()), EFCreateError);
  EXPECT_EQ(ReadFileBytes(target), "the old results\r\n");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(SystemReason, DropsTrailingSpacesBreaksAndPeriods) {
  EXPECT_EQ(SystemReason(EACCES), "Permission denied");
  EXPECT_EQ(SystemReason(ENOSPC), "No space left on device");
}

}  // namespace
}  // namespace foliotally
