// Where the benchmarks find the shared corpus and its files, and how they time a run on a
// machine other work shares: the best of several tries, the least disturbed.
#pragma once

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace foliotally::bench {

// The corpus folder: the first of the two places the build names that holds `labels` (a
// labels file of the corpus), or empty when neither does.
inline std::string CorpusDir(const char* labels = "expected.tsv") {
  for (const char* dir : {FOLIOTALLY_CORPUS_DIR, FOLIOTALLY_CORPUS_DIR_ALT})
    if (std::filesystem::exists(std::filesystem::path(dir) / labels)) return dir;
  return {};
}

// Each file expected.tsv lists, as a path, with its expected count as written there ("12",
// or a word for a file that is not counted). Empty without a corpus.
inline std::vector<std::pair<std::string, std::string>> ExpectedCounts() {
  std::vector<std::pair<std::string, std::string>> files;
  const std::string dir = CorpusDir();
  if (dir.empty()) return files;
  std::ifstream in(std::filesystem::path(dir) / "expected.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    const std::string expected =
        tab == std::string::npos ? "" : line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1);
    files.emplace_back(dir + "/" + line.substr(0, tab), expected);
  }
  return files;
}

// The best of `rounds` runs of `reps` calls of `f`, in seconds a call.
template <typename F>
double BestSeconds(F&& f, int rounds, int reps) {
  double best = 1e9;
  for (int r = 0; r < rounds; ++r) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < reps; ++i) f();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count() / reps);
  }
  return best;
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

}  // namespace foliotally::bench
