// The table behind "Pages by Size": rows per paper and orientation over files, and its
// CSV and clipboard text.
#include "size_window/paper_rows.h"

#include <gtest/gtest.h>

namespace foliotally {
namespace {

pdf::FileSizes File(std::vector<FoliotallyPageSize> groups, int32_t unknown = 0) {
  return {std::move(groups), unknown};
}

TEST(PaperRows, PagesAndFilesPerPaperMostPagesFirstUnknownLast) {
  PaperRows rows;
  // Two groups of A4 portrait in one file are one file of A4.
  rows.AddFile(File({{595, 842, 3}, {595.276, 841.89, 2}, {792, 612, 1}}));
  rows.AddFile(File({{612, 792, 4}}, 2));
  rows.AddFile(File({{595, 842, 1}}));
  rows.AddFile(File({}, 1));
  const SizeTable table = rows.Table();
  EXPECT_EQ(table.headers, (std::vector<std::string>{"Paper", "Orientation", "Pages", "Files"}));
  using Row = std::vector<SizeTable::Cell>;
  ASSERT_EQ(table.rows.size(), 4u);
  EXPECT_EQ(table.rows[0], (Row{"A4", "portrait", int64_t{6}, int64_t{2}}));
  EXPECT_EQ(table.rows[1], (Row{"Letter", "portrait", int64_t{4}, int64_t{1}}));
  EXPECT_EQ(table.rows[2], (Row{"Letter", "landscape", int64_t{1}, int64_t{1}}));
  EXPECT_EQ(table.rows[3], (Row{"unknown size", "", int64_t{3}, int64_t{2}}));
  EXPECT_EQ(rows.pages(), 14);
}

TEST(PaperRows, CsvQuotesWhatNeedsItAndTextIsTabSeparated) {
  SizeTable table;
  table.headers = {"Paper", "Pages"};
  table.rows = {{std::string("210x99 mm"), int64_t{3}}, {std::string("odd, \"name\""), int64_t{1}}};
  EXPECT_EQ(SizeTableCsv(table), "Paper,Pages\r\n210x99 mm,3\r\n\"odd, \"\"name\"\"\",1\r\n");
  table.rows[1][0] = std::string("tab\there");
  EXPECT_EQ(SizeTableText(table), "Paper\tPages\n210x99 mm\t3\ntab here\t1\n");
}

}  // namespace
}  // namespace foliotally
