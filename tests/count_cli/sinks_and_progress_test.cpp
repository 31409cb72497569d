// The atomic output file and the progress line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "count_cli/output_sink.h"
#include "count_cli/progress_line.h"
#include "support/temp_dir.h"

namespace foliotally::count_cli {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;

size_t EntriesIn(const fs::path& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(AtomicFileSink, TargetChangesOnlyOnCommit) {
  TempDir dir;
  const fs::path target = dir.Write("r.txt", "old");
  ::chmod(target.c_str(), 0640);
  {
    AtomicFileSink sink(target.string());
    sink.Write("new ");
    sink.Write(std::string(200'000, 'x'));  // more than one buffer's worth
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_TRUE(fs::exists(sink.temporary_path()));
    EXPECT_EQ(fs::path(sink.temporary_path()).parent_path(), dir.path());
    sink.Commit();
  }
  EXPECT_EQ(ReadFileBytes(target), "new " + std::string(200'000, 'x'));
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
  struct stat status {};
  ::stat(target.c_str(), &status);
  EXPECT_EQ(status.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";
}

TEST(AtomicFileSink, WithoutCommitTheTemporaryFileGoes) {
  TempDir dir;
  const fs::path target = dir.Write("r.txt", "old");
  {
    AtomicFileSink sink(target.string());
    sink.Write(std::string(100'000, 'y'));
  }
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFileSink, FailedRenameThrowsAndCleansUp) {
  TempDir dir;
  const fs::path target = dir.MakeFolder("taken");
  dir.Write("taken/inside", "keep");
  AtomicFileSink sink(target.string());
  sink.Write("text");
  EXPECT_THROW(sink.Commit(), OutputError);
  EXPECT_EQ(ReadFileBytes(target / "inside"), "keep");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
  EXPECT_THROW(sink.Write("more"), OutputError);
}

TEST(AtomicFileSink, MissingFolderFailsAtOnce) {
  TempDir dir;
  try {
    AtomicFileSink sink(dir.str() + "/none/r.txt");
    FAIL() << "no error";
  } catch (const OutputError& error) {
    EXPECT_NE(error.Message().find(dir.str() + "/none/r.txt"), std::string::npos);
  }
}

TEST(AtomicFileSink, BareNameIsWrittenInTheCurrentFolder) {
  TempDir dir;
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  {
    AtomicFileSink sink("plain.txt");
    sink.Write("a\r\n");
    sink.Commit();
  }
  fs::current_path(before);
  EXPECT_EQ(ReadFileBytes(dir.path() / "plain.txt"), "a\r\n");
}

TEST(ProgressLine, DrawsAtMostOncePerIntervalAndWipesItself) {
  using namespace std::chrono_literals;
  auto now = std::chrono::steady_clock::time_point{} + 1h;
  std::string written;
  ProgressLine line(
      true, [&](std::string_view text) { written += text; }, [&] { return now; }, 100ms);
  line.Clear();
  EXPECT_EQ(written, "") << "nothing shown, nothing to wipe";
  now += 50ms;
  line.Update(1, 2);
  EXPECT_EQ(written, "");
  now += 50ms;
  line.Update(10, 20);
  EXPECT_EQ(written, "\r\x1b[K10 files, 20 pages, 100 files/s");
  written.clear();
  now += 99ms;
  line.Update(11, 22);
  EXPECT_EQ(written, "");
  line.Clear();
  EXPECT_EQ(written, "\r\x1b[K");
}

TEST(ProgressLine, DisabledLineWritesNothing) {
  std::string written;
  ProgressLine line(
      false, [&](std::string_view text) { written += text; },
      [] { return std::chrono::steady_clock::now() + std::chrono::hours(1); });
  line.Update(5, 5);
  line.Clear();
  EXPECT_EQ(written, "");
}

}  // namespace
}  // namespace foliotally::count_cli
