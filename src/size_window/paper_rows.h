// The table of the "Pages by Size" window, without Qt: pages and files per paper and
// orientation over the files of a count, and the table as CSV and as tab-separated text.
//
// The window shows any SizeTable: columns are data, so a further breakdown (colour and
// black-and-white pages, say) is a matter of the table's columns, not of the window.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "pagecount/file_sizes.h"

namespace foliotally {

struct SizeTable {
  using Cell = std::variant<std::string, int64_t>;  // text, or a number that sorts as one
  std::vector<std::string> headers;
  std::vector<std::vector<Cell>> rows;
};

// The name the table gives pages whose size could not be read.
inline constexpr const char* kUnknownPaper = "unknown size";

class PaperRows {
 public:
  // Adds the pages of one counted file.
  void AddFile(const pdf::FileSizes& sizes);
  // Paper, Orientation, Pages, Files: one row a paper and orientation, most pages first,
  // pages of unknown size last. Files: how many files hold pages of that row.
  SizeTable Table() const;
  int64_t pages() const { return pages_; }

 private:
  struct Row {
    int64_t pages = 0;
    int64_t files = 0;
  };
  std::map<std::pair<std::string, std::string>, Row> rows_;
  Row unknown_;
  int64_t pages_ = 0;
};

// RFC 4180 CSV with a header line, lines ending in CR LF.
std::string SizeTableCsv(const SizeTable& table);
// Tab-separated lines with the header first, for the clipboard (a spreadsheet pastes it
// into cells).
std::string SizeTableText(const SizeTable& table);

}  // namespace foliotally
