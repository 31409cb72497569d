// Page sizes in foliotally-count's output (--sizes): each file's sizes as its result line
// carries them, and the run's pages per paper and orientation for the end of the run.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pagecount/file_sizes.h"

namespace foliotally::count_cli {

using pdf::FileSizes;
using pdf::MeasureSizes;

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
