// "Count All" over a generated tree of 10,000 small PDF files in 1,000 folders, against the
// same files counted by GetFoliotally in a plain loop. The difference is what the walk, the
// folder browser and the window cost on top of the counting.
//   scripts/build -DFOLIOTALLY_BUILD_BENCH=ON && build/bench/count_all_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "folder_browser/directory_list_box.h"
#include "main_window/main_window.h"
#include "pagecount/foliotally.h"
#include "platform/posix_file_system.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace {

constexpr int kTopFolders = 100;
constexpr int kSubfolders = 10;
constexpr int kFilesPerFolder = 10;

// 100 folders of 10 folders of 10 files: 1,000 folders holding 10,000 files. Made in a
// temporary folder, or kept in FOLIOTALLY_BENCH_TREE when that names one (it is made there
// the first time), so repeated runs do not pay for creating 10,000 files.
struct Tree {
  Tree() {
    const char* kept = getenv("FOLIOTALLY_BENCH_TREE");
    root = kept != nullptr ? std::filesystem::path(kept) : temp.path();
    for (int top = 0; top < kTopFolders; ++top)
      for (int sub = 0; sub < kSubfolders; ++sub) {
        const auto folder = root / ("t" + std::to_string(top)) / ("s" + std::to_string(sub));
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

void BM_CountAll(benchmark::State& state) {
  Tree& tree = SharedTree();
  foliotally::PosixFileSystem fs;
  foliotally::TfrmMainServices services;
  services.fileSystem = &fs;
  foliotally::TfrmMain window("", services);
  // 10,000 log lines would pass the log's capacity; the walk and the counting are measured.
  window.chkbxAddToLog->setChecked(false);
  window.DirectoryListBox->SetDirectory(tree.root.string());
  for (auto _ : state) {
    window.btnCountAllClick(nullptr);
    if (window.fileCount() != static_cast<int>(tree.files.size()))
      state.SkipWithError("the walk missed files");
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(tree.files.size()));
}
BENCHMARK(BM_CountAll)->Unit(benchmark::kMillisecond)->UseRealTime();

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

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
