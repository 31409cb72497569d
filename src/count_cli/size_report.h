// Page sizes in foliotally-count's output (--sizes): each file's sizes as its result line
// carries them, and the run's pages per paper and orientation for the end of the run.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "pagecount/foliotally.h"

namespace foliotally::count_cli {

// One file's pages by size, as the library gives them, first-seen order.
struct FileSizes {
  std::vector<FoliotallyPageSize> groups;
  int32_t unknown = 0;  // pages of unknown size
};

// Hands each file's sizes from the thread that measured it to the one that writes its
// result line. The result travels through the job pool; the sizes wait here under the
// file's path (a file named twice is the same file, measured alike).
class SizeLedger {
 public:
  void Put(const std::string& path, FileSizes sizes);
  // The sizes of `path`, or nothing when none were put (a file not measured).
  std::optional<FileSizes> Take(const std::string& path);

 private:
  std::mutex mutex_;
  std::unordered_multimap<std::string, FileSizes> waiting_;
};

// The library's page count and sizes of a file, through GetFoliotallySizesAt/Fd: `measure`
// is called with an array and its capacity and returns what the export returns. The count
// is returned (negative: the library's code); `sizes` receives the groups.
template <typename Measure>
int32_t MeasureSizes(Measure&& measure, FileSizes& sizes) {
  sizes.groups.resize(16);
  int32_t n =
      measure(sizes.groups.data(), static_cast<int32_t>(sizes.groups.size()), &sizes.unknown);
  if (n > static_cast<int32_t>(sizes.groups.size())) {
    sizes.groups.resize(static_cast<size_t>(n));
    n = measure(sizes.groups.data(), n, &sizes.unknown);
  }
  sizes.groups.resize(static_cast<size_t>(std::max(n, 0)));
  if (n < 0) return n;
  int64_t pages = sizes.unknown;
  for (const FoliotallyPageSize& g : sizes.groups) pages += g.pages;
  return static_cast<int32_t>(pages);
}

// A number of points as JSON and CSV write it: the shortest form that reads back the same.
std::string PointsText(double points);

// The "sizes" list of a JSON record: each group with its paper and orientation; pages of
// unknown size as one entry whose numbers, paper and orientation are null.
std::string SizesJson(const FileSizes& sizes);

// The CSV "sizes" field: one entry a size, "; " between entries, each as
// "<pages> <paper> <orientation> <width>x<height> pt", unknown ones as "<pages> unknown".
std::string SizesCsv(const FileSizes& sizes);

// Pages per paper and orientation over a run.
class PaperTally {
 public:
  void Add(const FileSizes& sizes);
  // "Pages by paper size:" and a line for each paper and orientation, largest first (then
  // by name), pages of unknown size last. Empty when no page was added.
  std::string Text() const;

 private:
  std::map<std::pair<std::string, std::string>, int64_t> pages_;
  int64_t unknown_ = 0;
};

}  // namespace foliotally::count_cli
