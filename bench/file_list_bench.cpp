// Reading a folder of 100,000 matching files into the file list: the search, the sort by
// the locale ignoring case and the filling of the shown list, as a user who opens such a
// folder waits for it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLocale>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "folder_browser/file_list_box.h"
#include "folder_browser/name_collation.h"
#include "platform/posix_file_system.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFileCount = 100000;

// A folder of kFileCount empty PDF files with mixed-case names, removed at the end.
class BigFolder {
 public:
  BigFolder() {
    std::string templ = (fs::temp_directory_path() / "foliotally-bench-XXXXXX").string();
    if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
    for (int i = 0; i < kFileCount; ++i) {
      // Scrambled numbers, so the folder's order is not already the sorted one.
      const unsigned n = (static_cast<unsigned>(i) * 2654435761u) % 1000003u;
      const char* prefix = i % 3 == 0 ? "Report " : (i % 3 == 1 ? "scan_" : "INVOICE-");
      std::ofstream(path_ / (prefix + std::to_string(n) + ".pdf"));
    }
  }
  ~BigFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string Path() const { return path_.string(); }

 private:
  fs::path path_;
};

const BigFolder& Folder() {
  static const BigFolder folder;
  return folder;
}

void RunReload(benchmark::State& state) {
  const BigFolder& folder = Folder();
  foliotally::PosixFileSystem file_system;
  foliotally::TFileListBox list(file_system);
  list.SetMask("*.pdf");
  list.resize(200, 400);
  list.show();
  list.SetDirectory(folder.Path());
  QApplication::processEvents();
  if (list.Count() != kFileCount) state.SkipWithError("not every file listed");
  for (auto _ : state) {
    list.ReloadFiles();
    QApplication::processEvents();  // lay out and paint the shown rows
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}

// In the plain "C" locale of a bare session.
void BM_ReloadFiles100k(benchmark::State& state) {
  QLocale::setDefault(QLocale::c());
  RunReload(state);
}
BENCHMARK(BM_ReloadFiles100k)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// In a user's locale, where the sort keys come from the collation library.
void BM_ReloadFiles100kEnglishLocale(benchmark::State& state) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  RunReload(state);
  QLocale::setDefault(QLocale::c());
}
BENCHMARK(BM_ReloadFiles100kEnglishLocale)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The sort alone: 100,000 names in the folder's order put into the list's order.
void RunSort(benchmark::State& state) {
  std::vector<foliotally::NameRow> names;
  for (int i = 0; i < kFileCount; ++i) {
    const unsigned n = (static_cast<unsigned>(i) * 2654435761u) % 1000003u;
    foliotally::NameRow row;
    row.text = (i % 2 ? "Report " : "scan_") + std::to_string(n) + ".pdf";
    row.display = foliotally::DisplayName(row.text);
    names.push_back(std::move(row));
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<foliotally::NameRow> rows = names;
    state.ResumeTiming();
    foliotally::NameCollation().SortKeepingEqual(rows);
    benchmark::DoNotOptimize(rows.data());
  }
}

void BM_SortNames100k(benchmark::State& state) {
  QLocale::setDefault(QLocale::c());
  RunSort(state);
}
BENCHMARK(BM_SortNames100k)->Unit(benchmark::kMillisecond);

void BM_SortNames100kEnglishLocale(benchmark::State& state) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  RunSort(state);
  QLocale::setDefault(QLocale::c());
}
BENCHMARK(BM_SortNames100kEnglishLocale)->Unit(benchmark::kMillisecond);

}  // namespace
