// A whole run in-process, with the test file system and a stand-in page counter: the exit
// status, what reaches the output and standard error, and when the output is committed.
#include "count_cli/count_run.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "pagecount/foliotally.h"
#include "support/fake_file_system.h"
#include "support/temp_dir.h"

namespace foliotally::count_cli {
namespace {

class RecordingSink final : public OutputSink {
 public:
  explicit RecordingSink(size_t fail_after_writes = SIZE_MAX) : fail_after_(fail_after_writes) {}
  void Write(std::string_view text) override {
    if (writes_++ >= fail_after_)
      throw OutputError("cannot write out.txt: No space left on device");
    text_ += text;
  }
  void Commit() override { committed_ = true; }
  std::string text_;
  bool committed_ = false;

 private:
  size_t fail_after_;
  size_t writes_ = 0;
};

// Files named "N.pdf" have N pages; names beginning with "bad" are damaged.
int32_t CountByName(const FileToCount& file) {
  const std::string name = file.path.substr(file.path.rfind('/') + 1);
  if (name.starts_with("bad")) return FOLIOTALLY_DAMAGED;
  if (name == "huge.pdf") return INT32_MAX;
  return std::stoi(name);
}

class CountRunTest : public ::testing::Test {
 protected:
  int Run(CountOptions options, OutputSink& sink, bool stop = false) {
    std::atomic<bool> stop_flag{stop};
    ProgressLine progress(false, nullptr, nullptr);
    Diagnostics diagnostics([&](std::string_view text) { err_ += text; }, progress);
    return CountRun(options, fs_, CountByName, sink, diagnostics, stop_flag).Execute();
  }
  CountOptions Options(std::vector<std::string> paths, int jobs = 2) {
    CountOptions options;
    options.jobs = jobs;
    options.paths = std::move(paths);
    return options;
  }
  test::TempDir dir_;
  test::FakeFileSystem fs_;
  std::string err_;
};

TEST_F(CountRunTest, UnreadableFolderGivesStatusOneAndTheRestIsCounted) {
  dir_.Write("S/1.pdf", "");
  dir_.Write("S/A/2.pdf", "");
  dir_.Write("S/B/3.pdf", "");
  fs_.FailCall(test::FsCall::kOpenDirectory, dir_.str() + "/S/A", EACCES);
  RecordingSink sink;
  EXPECT_EQ(Run(Options({dir_.str() + "/S"}), sink), kExitSomeFailed);
  EXPECT_EQ(sink.text_, dir_.str() + "/S/1.pdf;1\n" + dir_.str() + "/S/B/3.pdf;3\n");
  EXPECT_TRUE(sink.committed_);
  EXPECT_EQ(err_, "foliotally-count: " + dir_.str() +
                      "/S/A: cannot read folder: File access denied\n"
                      "Counted 2 files, 4 pages.\n");
}

TEST_F(CountRunTest, InvalidFileCountsAsAFileNotAsPages) {
  dir_.Write("S/4.pdf", "");
  dir_.Write("S/bad.pdf", "");
  RecordingSink sink;
  CountOptions options = Options({dir_.str() + "/S"});
  options.format = OutputFormat::kCsv;
  EXPECT_EQ(Run(options, sink), kExitSomeFailed);
  EXPECT_EQ(sink.text_, "path,pages,status\n" + dir_.str() + "/S/4.pdf,4,ok\n" + dir_.str() +
                            "/S/bad.pdf,,damaged PDF\n");
  EXPECT_EQ(err_, "foliotally-count: " + dir_.str() +
                      "/S/bad.pdf: damaged PDF\n"
                      "Counted 2 files, 4 pages. 1 file could not be counted.\n");
}

TEST_F(CountRunTest, ControlCharactersInNamesNeverReachTheTerminal) {
  dir_.Write("S/bad\x1b[2J\n.pdf", "");
  RecordingSink sink;
  CountOptions options = Options({dir_.str() + "/S"});
  options.format = OutputFormat::kJson;
  EXPECT_EQ(Run(options, sink), kExitSomeFailed);
  EXPECT_NE(err_.find("/S/bad?[2J?.pdf: damaged PDF\n"), std::string::npos) << err_;
  EXPECT_NE(sink.text_.find("/S/bad\\u001b[2J\\n.pdf"), std::string::npos) << sink.text_;
}

TEST_F(CountRunTest, PageTotalGoesBeyondThirtyTwoBits) {
  dir_.Write("a/huge.pdf", "");
  dir_.Write("b/huge.pdf", "");
  dir_.Write("c/huge.pdf", "");
  RecordingSink sink;
  EXPECT_EQ(Run(Options({dir_.str() + "/a", dir_.str() + "/b", dir_.str() + "/c"}), sink),
            kExitAllCounted);
  EXPECT_EQ(err_, "Counted 3 files, 6442450941 pages.\n");
}

TEST_F(CountRunTest, WriteFailureStopsWithStatusTwo) {
  for (int i = 1; i <= 9; ++i) dir_.Write("S/" + std::to_string(i) + ".pdf", "");
  RecordingSink sink(/*fail_after_writes=*/4);  // the header write, then three lines
  EXPECT_EQ(Run(Options({dir_.str() + "/S"}, 4), sink), kExitUsage);
  EXPECT_FALSE(sink.committed_);
  EXPECT_NE(err_.find("foliotally-count: cannot write out.txt: No space left on device\n"),
            std::string::npos)
      << err_;
}

TEST_F(CountRunTest, InterruptedRunNeverCommitsAFile) {
  dir_.Write("S/1.pdf", "");
  RecordingSink sink;
  CountOptions options = Options({dir_.str() + "/S"});
  options.output = dir_.str() + "/out.txt";
  EXPECT_EQ(Run(options, sink, /*stop=*/true), kExitInterrupted);
  EXPECT_FALSE(sink.committed_);
  EXPECT_EQ(err_, "Counted 0 files, 0 pages.\nfoliotally-count: interrupted\n");
}

TEST_F(CountRunTest, MissingPathIsReportedAndTheOthersCounted) {
  dir_.Write("S/5.pdf", "");
  RecordingSink sink;
  EXPECT_EQ(Run(Options({dir_.str() + "/none", dir_.str() + "/S/5.pdf"}, 1), sink), kExitUsage);
  EXPECT_EQ(sink.text_, dir_.str() + "/S/5.pdf;5\n");
  EXPECT_TRUE(sink.committed_);
}

}  // namespace
}  // namespace foliotally::count_cli
