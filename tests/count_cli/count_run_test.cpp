// A whole run in-process, with the test file system and a stand-in page counter: the exit
// status, what reaches the output and standard error, and when the output is committed.
#include "count_cli/count_run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

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

FileCount Answer(int32_t pages, int32_t verdict, const char* reason) {
  FileCount count = CountOf(pages);
  count.verdict = verdict;
  std::snprintf(count.reason, sizeof count.reason, "%s", reason);
  return count;
}

// Files named "N.pdf" have N pages; names beginning with "bad" are damaged, "rec-N" are
// damaged files whose N pages were recovered, "nohelper-N" were recovered without the
// repair helper, and "slow" run out of time.
FileCount CountByName(const FileToCount& file) {
  const std::string name = file.path.substr(file.path.rfind('/') + 1);
  if (name.starts_with("bad")) return CountOf(FOLIOTALLY_DAMAGED);
  if (name.starts_with("rec-"))
    return Answer(std::stoi(name.substr(4)), FOLIOTALLY_RECOVERED, "cross-reference data rebuilt");
  if (name.starts_with("nohelper-"))
    return Answer(std::stoi(name.substr(9)), FOLIOTALLY_RECOVERED,
                  "cross-reference data rebuilt; repair helper could not run");
  if (name.starts_with("slow"))
    return Answer(FOLIOTALLY_DAMAGED, FOLIOTALLY_TIMED_OUT, "timed out");
  if (name == "huge.pdf") return CountOf(INT32_MAX);
  return CountOf(std::stoi(name));
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
  EXPECT_EQ(sink.text_, "path,pages,status,reason\n" + dir_.str() + "/S/4.pdf,4,ok,\n" +
                            dir_.str() + "/S/bad.pdf,,damaged PDF,\n");
  EXPECT_EQ(err_, "foliotally-count: " + dir_.str() +
                      "/S/bad.pdf: damaged PDF\n"
                      "Counted 2 files, 4 pages. 1 file could not be counted.\n");
}

TEST_F(CountRunTest, RecoveredFileIsCountedButMarkedAndFailsTheRun) {
  dir_.Write("S/2.pdf", "");
  dir_.Write("S/rec-3.pdf", "");
  for (const OutputFormat format : {OutputFormat::kLog, OutputFormat::kCsv, OutputFormat::kJson}) {
    RecordingSink sink;
    err_.clear();
    CountOptions options = Options({dir_.str() + "/S"});
    options.format = format;
    EXPECT_EQ(Run(options, sink), kExitSomeFailed);
    EXPECT_EQ(err_, "foliotally-count: '" + dir_.str() +
                        "/S/rec-3.pdf': damaged file, 3 pages counted as a viewer shows it "
                        "(cross-reference data rebuilt)\n"
                        "Counted 2 files, 5 pages. 1 damaged file counted as a viewer shows it.\n");
    const std::string rec = dir_.str() + "/S/rec-3.pdf";
    const std::string expected[] = {rec + ";3\n",
                                    rec + ",3,recovered,cross-reference data rebuilt\n",
                                    "{\"path\":\"" + rec +
                                        "\",\"pages\":3,\"status\":\"recovered\",\"reason\":"
                                        "\"cross-reference data rebuilt\"}\n"};
    EXPECT_NE(sink.text_.find(expected[static_cast<int>(format)]), std::string::npos) << sink.text_;
  }
}

TEST_F(CountRunTest, StrictLeavesARecoveredFileUncounted) {
  dir_.Write("S/2.pdf", "");
  dir_.Write("S/rec-3.pdf", "");
  RecordingSink sink;
  CountOptions options = Options({dir_.str() + "/S"});
  options.format = OutputFormat::kCsv;
  options.strict = true;
  EXPECT_EQ(Run(options, sink), kExitSomeFailed);
  EXPECT_NE(sink.text_.find("/S/rec-3.pdf,,damaged PDF,cross-reference data rebuilt\n"),
            std::string::npos)
      << sink.text_;
  EXPECT_NE(err_.find("/S/rec-3.pdf: damaged PDF (cross-reference data rebuilt)\n"
                      "Counted 2 files, 2 pages. 1 file could not be counted.\n"),
            std::string::npos)
      << err_;
}

TEST_F(CountRunTest, TimedOutIsItsOwnReasonEverywhere) {
  dir_.Write("S/slow.pdf", "");
  RecordingSink csv_sink, json_sink;
  CountOptions options = Options({dir_.str() + "/S"});
  options.format = OutputFormat::kCsv;
  EXPECT_EQ(Run(options, csv_sink), kExitSomeFailed);
  EXPECT_NE(csv_sink.text_.find("/S/slow.pdf,,timed out,timed out\n"), std::string::npos);
  EXPECT_NE(err_.find("/S/slow.pdf': timed out (a longer --file-timeout may count it)\n"),
            std::string::npos)
      << err_;
  options.format = OutputFormat::kJson;
  Run(options, json_sink);
  EXPECT_NE(json_sink.text_.find("\"pages\":null,\"status\":\"timed out\""), std::string::npos);
  EXPECT_EQ(err_.find("damaged"), std::string::npos) << err_;
}

TEST_F(CountRunTest, RepairHelperThatCouldNotRunIsSaidOncePerRun) {
  for (int i = 1; i <= 3; ++i) dir_.Write("S/nohelper-" + std::to_string(i) + ".pdf", "");
  RecordingSink sink;
  Run(Options({dir_.str() + "/S"}), sink);
  const std::string warning = "foliotally-count: warning: repair helper could not run";
  const size_t first = err_.find(warning);
  ASSERT_NE(first, std::string::npos) << err_;
  EXPECT_EQ(err_.find(warning, first + 1), std::string::npos) << err_;
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
