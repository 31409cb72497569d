// The atomic output file and the progress line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "count_cli/output_sink.h"
#include "count_cli/progress_line.h"
#include "support/fake_file_system.h"
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
  {
    AtomicFileSink sink(SystemFileWriting(), target.string());
    sink.Write("new ");
    sink.Write(std::string(200'000, 'x'));  // more than one buffer's worth
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(EntriesIn(dir.path()), 2u) << "the temporary file beside the target";
    sink.Commit();
    EXPECT_THROW(sink.Write("more"), OutputError);
  }
  EXPECT_EQ(ReadFileBytes(target), "new " + std::string(200'000, 'x'));
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

std::string OutputErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const OutputError& error) {
    return error.Message();
  }
  return "no error";
}

TEST(AtomicFileSink, EachFailureNamesTheTargetTheStepAndTheReason) {
  TempDir dir;
  const fs::path target = dir.Write("r.txt", "old");
  const std::string folder = dir.MakeFolder("taken").string();
  EXPECT_EQ(OutputErrorOf([&] { AtomicFileSink sink(SystemFileWriting(), folder); }),
            "cannot write " + folder + ": Is a directory");
  EXPECT_EQ(OutputErrorOf([&] { AtomicFileSink sink(SystemFileWriting(), dir.str() + "/no/r"); }),
            "cannot write " + dir.str() + "/no/r: No such file or directory");
  test::FakeFileSystem full;
  full.FailWriting(test::FsCall::kWrite, ENOSPC);
  AtomicFileSink half(full.Writing(), target.string());
  half.Write("text");
  EXPECT_EQ(OutputErrorOf([&] { half.Commit(); }),
            "cannot write " + target.string() + ": No space left on device");
  EXPECT_EQ(OutputErrorOf([&] { half.Write("more"); }),
            "cannot write " + target.string() + ": the file is closed");
  test::FakeFileSystem busy;
  busy.FailWriting(test::FsCall::kRename, EBUSY);
  AtomicFileSink unrenamed(busy.Writing(), target.string());
  EXPECT_EQ(OutputErrorOf([&] { unrenamed.Commit(); }),
            "cannot replace " + target.string() + ": Device or resource busy");
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(EntriesIn(dir.path()), 2u);  // r.txt and taken
}

TEST(AtomicFileSink, BareNameIsWrittenInTheCurrentFolder) {
  TempDir dir;
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  {
    AtomicFileSink sink(SystemFileWriting(), "plain.txt");
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
