// What a run gathers about a file's pages beyond their number, when asked to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pagecount/file_sizes.h"

namespace foliotally::count_cli {

struct PageDetails {
  // One letter per page with --color: C colour, G black-and-white, ? unknown.
  std::string colours;
  // Pages that had to be drawn but could not be, for want of the renderer.
  int64_t without_renderer = 0;
  // With --sizes too: each page's paper and orientation ("A4 portrait"), empty where its
  // size is unknown.
  std::vector<std::string> papers;
  // With --sizes: the file's pages grouped by size.
  pdf::FileSizes sizes;
};

}  // namespace foliotally::count_cli
