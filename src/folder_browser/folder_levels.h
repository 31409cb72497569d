// The rows a directory list shows for a folder's path, the folder each row stands for, and
// the shortening of a path to fit a label. Pure functions on path texts, in either path
// style, so the Windows forms can be checked next to the POSIX ones.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "folder_browser/path_style.h"

namespace foliotally {

// The level rows of `directory`: the root (a drive with its delimiter, a network root with
// a delimiter, or "/"), then each folder name down to the folder itself. The last row is
// the current folder unless the folder is a network root, which has no row of its own
// (then every row is a level above).
struct LevelRows {
  std::vector<std::string> texts;
  int current_row = -1;  // index of the current folder's row, -1 when there is none
};
LevelRows LevelRowsOf(std::string_view directory, const PathStyle& style = PathStyle::Native());

// The folder that the level row `row` of `directory` stands for (row 0 the root; rows
// below the current one are not levels). For C:\docs\pdf\x row 2 gives C:\docs\pdf; for
// /docs/pdf/x row 2 gives /docs/pdf.
std::string LevelPathOf(std::string_view directory, int row,
                        const PathStyle& style = PathStyle::Native());

// Shortens `path` level by level from the front until `text_width` of it is no more than
// `width`: C:\docs\pdf\report.pdf becomes C:\...\pdf\report.pdf, C:\...\report.pdf,
// ...\report.pdf, report.pdf; /docs/pdf/report becomes /.../pdf/report and so on.
std::string ShortenPath(std::string_view path,
                        const std::function<int(std::string_view)>& text_width, int width,
                        const PathStyle& style = PathStyle::Native());

}  // namespace foliotally
