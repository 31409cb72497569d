// The results log at the size of a large "Count All": 100,000 lines appended as the walk
// appends them, what the log then takes in memory, and what "Save" takes to write it.
//   scripts/build -DFOLIOTALLY_BUILD_BENCH=ON && build/bench/results_log_bench
// Counters of BM_Append: first_1000_ms, middle_1000_ms and last_1000_ms (processor time for
// the first, the 50th and the last thousand lines: alike when an append costs the same
// however long the log is), log_MiB and bytes_per_line (heap the filled log holds).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <time.h>

#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <string>

#include "main_window/results_log/rich_edit_log.h"
#include "main_window/results_log/save_dialog.h"
#include "main_window/results_log/save_log_action.h"
#include "support/temp_dir.h"

namespace {

constexpr int kLines = 100'000;
constexpr int kLinesPerFolder = 100;  // the walk lets the event loop run between folders

// A line as "Count All" writes it, about as long as a path in a real archive.
std::string LineFor(int n) {
  char line[96];
  std::snprintf(line, sizeof line,
                "/home/office/archive/2024/box-%04d/folder-%02d/scan-%06d.pdf;%d", n / 1000,
                n / 100 % 10, n, 1 + n % 40);
  return line;
}

std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// This thread's processor time: other work on a busy machine does not count.
double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Processor time for each thousand lines appended, the event loop run between folders.
struct ThousandTimes {
  double first = 0, middle = 0, last = 0;
};

// Fills a log as the window shows it with kLines lines.
ThousandTimes Fill(foliotally::TRichEditLog& log) {
  ThousandTimes times;
  double start = CpuMs();
  for (int n = 0; n < kLines; ++n) {
    log.AppendLogLine(LineFor(n));
    if (n % kLinesPerFolder == kLinesPerFolder - 1) QCoreApplication::processEvents();
    if (n % 1000 != 999) continue;
    const double now = CpuMs();
    if (n == 999) times.first = now - start;
    if (n == kLines / 2 - 1) times.middle = now - start;
    if (n == kLines - 1) times.last = now - start;
    start = now;
  }
  return times;
}

std::unique_ptr<foliotally::TRichEditLog> ShownLog() {
  auto log = std::make_unique<foliotally::TRichEditLog>();
  log->resize(545, 73);
  log->show();
  QCoreApplication::processEvents();
  return log;
}

void BM_Append(benchmark::State& state) {
  ThousandTimes times;
  double heap = 0;
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    auto log = ShownLog();
    times = Fill(*log);
    heap = static_cast<double>(HeapInUse() - before);
    if (log->LogicalLineCount() != kLines) state.SkipWithError("lines missing");
  }
  state.counters["first_1000_ms"] = times.first;
  state.counters["middle_1000_ms"] = times.middle;
  state.counters["last_1000_ms"] = times.last;
  state.counters["log_MiB"] = heap / (1 << 20);
  state.counters["bytes_per_line"] = heap / kLines;
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_Append)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Answers the save dialog with one file name.
class FixedAnswer : public foliotally::SaveFilePrompt {
 public:
  explicit FixedAnswer(std::string path) : path_(std::move(path)) {}
  std::optional<foliotally::SaveFileAnswer> Ask(const foliotally::SaveFileQuestion&) override {
    return foliotally::SaveFileAnswer{path_, 1};
  }

 private:
  std::string path_;
};

void BM_Save(benchmark::State& state) {
  foliotally::test::TempDir dir;
  FixedAnswer answer((dir.path() / "log.txt").string());
  foliotally::TSaveDialog dialog(answer);
  auto log = ShownLog();
  Fill(*log);
  for (auto _ : state) foliotally::SaveLogThroughDialog(*log, dialog);
  state.counters["file_MiB"] = static_cast<double>(log->TextLength()) / (1 << 20);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
