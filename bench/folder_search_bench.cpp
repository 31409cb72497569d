// The directory search over a folder of 100,000 files: every name matching, and only one
// name in a hundred matching (the others are passed over on their names alone).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <string>

#include "folder_browser/directory_search.h"
#include "platform/posix_file_system.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFileCount = 100000;

// A folder of kFileCount empty files, every hundredth named *.pdf and the rest *.txt,
// removed when the benchmark program ends.
class BigFolder {
 public:
  BigFolder() {
    std::string templ = (fs::temp_directory_path() / "foliotally-bench-XXXXXX").string();
    if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
    for (int i = 0; i < kFileCount; ++i) {
      const char* extension = i % 100 == 0 ? ".pdf" : ".txt";
      std::ofstream(path_ / ("file" + std::to_string(i) + extension));
    }
  }
  ~BigFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string Pattern(const char* name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

const BigFolder& Folder() {
  static const BigFolder folder;
  return folder;
}

void RunSearch(benchmark::State& state, const char* name_pattern, int32_t attributes) {
  const std::string pattern = Folder().Pattern(name_pattern);
  foliotally::PosixFileSystem fs;
  int64_t yielded = 0;
  for (auto _ : state) {
    foliotally::TSearchRec rec;
    int code = foliotally::SearchFirst(fs, pattern, attributes, rec);
    while (code == 0) {
      ++yielded;
      code = foliotally::SearchNext(rec);
    }
    foliotally::SearchClose(rec);
  }
  state.counters["entries"] = static_cast<double>(yielded) / state.iterations();
}

void BM_SearchEveryFile(benchmark::State& state) { RunSearch(state, "*.*", 0); }
void BM_SearchEveryFileAndFolder(benchmark::State& state) {
  RunSearch(state, "*.*", foliotally::kAttrDirectory);
}
void BM_SearchOneInAHundred(benchmark::State& state) { RunSearch(state, "*.pdf", 0); }
void BM_SearchOneInAHundredUtf8Locale(benchmark::State& state) {
  // fnmatch folds case through wide characters in a multibyte locale, as in the program.
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  std::setlocale(LC_ALL, "C.UTF-8");
  RunSearch(state, "*.PDF", 0);
  std::setlocale(LC_ALL, saved.c_str());
}
void BM_SearchEveryFileByPattern(benchmark::State& state) { RunSearch(state, "file*", 0); }

BENCHMARK(BM_SearchEveryFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchEveryFileAndFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchOneInAHundred)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchOneInAHundredUtf8Locale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchEveryFileByPattern)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
