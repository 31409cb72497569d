#include "size_window/paper_rows.h"

#include <algorithm>

#include "count_cli/text_escaping.h"
#include "pagecount/paper_names.h"

namespace foliotally {

void PaperRows::AddFile(const pdf::FileSizes& sizes) {
  // A file with two groups of one paper (A4 at 595x842 and at 595.276x841.89) is one file
  // of that paper.
  std::set<std::pair<std::string, std::string>> seen;
  for (const FoliotallyPageSize& g : sizes.groups) {
    const pdf::PaperName name = pdf::NamePaper(g.width_pt, g.height_pt);
    std::pair<std::string, std::string> key{name.paper,
                                            std::string(pdf::OrientationWord(name.orientation))};
    Row& row = rows_[key];
    row.pages += g.pages;
    if (seen.insert(std::move(key)).second) ++row.files;
    pages_ += g.pages;
  }
  if (sizes.unknown > 0) {
    unknown_.pages += sizes.unknown;
    ++unknown_.files;
    pages_ += sizes.unknown;
  }
}

SizeTable PaperRows::Table() const {
  SizeTable table;
  table.headers = {"Paper", "Orientation", "Pages", "Files"};
  std::vector<std::pair<const std::pair<std::string, std::string>*, Row>> rows;
  for (const auto& [key, row] : rows_) rows.emplace_back(&key, row);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const auto& a, const auto& b) { return a.second.pages > b.second.pages; });
  for (const auto& [key, row] : rows)
    table.rows.push_back({key->first, key->second, row.pages, row.files});
  if (unknown_.pages > 0)
    table.rows.push_back(
        {std::string(kUnknownPaper), std::string(), unknown_.pages, unknown_.files});
  return table;
}

namespace {

std::string CellText(const SizeTable::Cell& cell) {
  if (const auto* number = std::get_if<int64_t>(&cell)) return std::to_string(*number);
  return std::get<std::string>(cell);
}

template <typename Field>
std::string Lines(const SizeTable& table, char separator, const char* line_end, Field field) {
  std::string out;
  auto line = [&](const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
      if (i) out += separator;
      out += field(cells[i]);
    }
    out += line_end;
  };
  line(table.headers);
  for (const auto& row : table.rows) {
    std::vector<std::string> cells;
    for (const auto& cell : row) cells.push_back(CellText(cell));
    line(cells);
  }
  return out;
}

}  // namespace

std::string SizeTableCsv(const SizeTable& table) {
  return Lines(table, ',', "\r\n", [](const std::string& s) { return count_cli::CsvField(s); });
}

std::string SizeTableText(const SizeTable& table) {
  // Paper names hold neither tabs nor line breaks; a cell that did would lose them.
  return Lines(table, '\t', "\n", [](std::string s) {
    std::replace_if(
        s.begin(), s.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return s;
  });
}

}  // namespace foliotally
