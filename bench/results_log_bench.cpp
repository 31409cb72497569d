// The results log at the size of a large "Count All": 100,000 lines appended as the walk
// appends them, what the log then takes in memory, and what "Save" takes to write it.
//   scripts/build -DFOLIOTALLY_BUILD_BENCH=ON && build/bench/results_log_bench
// Counters of BM_Append: first_1000_ms and last_1000_ms (appending the first and the last
// thousand lines: equal when an append costs the same however long the log), log_MiB and
// bytes_per_line (heap the filled log holds).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <QApplication>
#include <chrono>
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

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// A log as the window shows it, filled with kLines lines. Returns the time the first and
// the last thousand appends took.
std::pair<double, double> Fill(foliotally::TRichEditLog& log) {
  double first = 0, last = 0;
  auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < kLines; ++n) {
    if (n == kLines - 1000) start = std::chrono::steady_clock::now();
    log.AppendLogLine(LineFor(n));
    if (n == 999) first = MsSince(start);
    if (n % kLinesPerFolder == kLinesPerFolder - 1) QCoreApplication::processEvents();
  }
  last = MsSince(start);
  return {first, last};
}

std::unique_ptr<foliotally::TRichEditLog> ShownLog() {
  auto log = std::make_unique<foliotally::TRichEditLog>();
  log->resize(545, 73);
  log->show();
  QCoreApplication::processEvents();
  return log;
}

void BM_Append(benchmark::State& state) {
  double first = 0, last = 0, heap = 0;
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    auto log = ShownLog();
    std::tie(first, last) = Fill(*log);
    heap = static_cast<double>(HeapInUse() - before);
    if (log->LogicalLineCount() != kLines) state.SkipWithError("lines missing");
  }
  state.counters["first_1000_ms"] = first;
  state.counters["last_1000_ms"] = last;
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

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
