// "Count All" over a generated tree of 20,000 small PDF files in 200 sibling folders, with
// "Add to log" ticked and cleared, against foliotally-count --jobs 1 on the same tree and
// against the same files counted by GetFoliotally in a plain loop. The differences are what
// the walk, the folder browser, the window and the results log cost on top of the counting.
//   scripts/build -DFOLIOTALLY_BUILD_BENCH=ON && build/bench/count_all_bench
// Counters: log_lines (lines in the log after the count), max_gap_ms (the longest time the
// window went without handling its events, which is how long a click on Stop may wait).
// Run it without the accessibility bus (QT_LINUX_ACCESSIBILITY_ALWAYS_ON unset, no
// at-spi) and with it to see what a screen reader's presence costs.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "folder_browser/directory_list_box.h"
#include "main_window/main_window.h"
#include "main_window/results_log/rich_edit_log.h"
#include "pagecount/foliotally.h"
#include "platform/posix_file_system.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace {

constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 100;

// 200 sibling folders of 100 files: 20,000 files. Made in a temporary folder, or kept in
// FOLIOTALLY_BENCH_TREE when that names one (it is made there the first time), so repeated
// runs do not pay for creating the files.
struct Tree {
  Tree() {
    const char* kept = getenv("FOLIOTALLY_BENCH_TREE");
    root = kept != nullptr ? std::filesystem::path(kept) : temp.path();
    for (int top = 0; top < kFolders; ++top) {
      const auto folder = root / ("t" + std::to_string(top));
      std::filesystem::create_directories(folder);
      for (int file = 0; file < kFilesPerFolder; ++file) {
        const auto path = folder / ("f" + std::to_string(file) + ".pdf");
        if (!std::filesystem::exists(path))
          std::ofstream(path, std::ios::binary) << foliotally::test::MakePdf(1 + file % 5);
        files.push_back(path.string());
      }
    }
  }
  foliotally::test::TempDir temp;
  std::filesystem::path root;
  std::vector<std::string> files;
};

Tree& SharedTree() {
  static Tree tree;
  return tree;
}

// The longest wait between two turns of the event loop while it is alive.
class EventLoopGapMeter {
 public:
  EventLoopGapMeter() {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const auto now = std::chrono::steady_clock::now();
      longest_ = std::max(longest_, now - last_);
      last_ = now;
    });
    timer_.start();
  }
  double LongestMs() const { return std::chrono::duration<double, std::milli>(longest_).count(); }

 private:
  QTimer timer_;
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration longest_{};
};

// Argument 0: "Add to log" cleared; 1: ticked, every file a log line.
void BM_CountAll(benchmark::State& state) {
  Tree& tree = SharedTree();
  foliotally::PosixFileSystem fs;
  foliotally::TfrmMainServices services;
  services.fileSystem = &fs;
  foliotally::TfrmMain window("", services);
  window.show();
  window.chkbxAddToLog->setChecked(state.range(0) != 0);
  window.DirectoryListBox->SetDirectory(tree.root.string());
  double longestGap = 0;
  for (auto _ : state) {
    EventLoopGapMeter gaps;
    window.btnCountAllClick(nullptr);
    longestGap = std::max(longestGap, gaps.LongestMs());
    if (window.fileCount() != static_cast<int>(tree.files.size()))
      state.SkipWithError("the walk missed files");
  }
  state.counters["log_lines"] = window.RichEditLog->LogicalLineCount();
  state.counters["max_gap_ms"] = longestGap;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(tree.files.size()));
}
BENCHMARK(BM_CountAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainLoop(benchmark::State& state) {
  Tree& tree = SharedTree();
  for (auto _ : state) {
    int64_t pages = 0;
    for (const auto& file : tree.files) pages += GetFoliotally(file.c_str());
    benchmark::DoNotOptimize(pages);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(tree.files.size()));
}
BENCHMARK(BM_PlainLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// foliotally-count --jobs 1 on the same tree, its results written to /dev/null: the pace
// "Count All" is held to.
void BM_CountCommandOneJob(benchmark::State& state) {
  Tree& tree = SharedTree();
  const std::string command = std::string("'") + FOLIOTALLY_COUNT_PATH + "' --jobs 1 '" +
                              tree.root.string() + "' >/dev/null 2>&1";
  for (auto _ : state)
    if (system(command.c_str()) != 0) state.SkipWithError("foliotally-count failed");
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(tree.files.size()));
}
BENCHMARK(BM_CountCommandOneJob)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
