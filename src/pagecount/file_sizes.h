// One file's pages by size as a program using the library holds them: the groups the
// size export gives, and the pages of unknown size. For the command-line counter and the
// window alike.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "pagecount/foliotally.h"

namespace foliotally::pdf {

struct FileSizes {
  std::vector<FoliotallyPageSize> groups;  // first-seen order
  int32_t unknown = 0;                     // pages of unknown size
};

// The library's page count and sizes of a file, through GetFoliotallySizesAt/Fd (or
// GetFoliotallyCountSizesAt/Fd, which give the verdict of the same reading): `measure`
// is called with an array and its capacity and returns what the export returns, asked
// again with room for every group when the first array was too small. Returns the count
// (negative: the library's code); `sizes` receives the groups.
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

}  // namespace foliotally::pdf
