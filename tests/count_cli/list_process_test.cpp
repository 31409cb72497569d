// Counting a list of files (--files-from), and spreading one list over several processes
// the way the manual page shows, with the parts' CSV merged into the whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "count_cli/count_process.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

namespace fs = std::filesystem;

ProcessResult Count(const std::vector<std::string>& args, const ProcessOptions& options = {}) {
  return RunCount(args, options);
}

class FileList : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("t/b.pdf", MakePdf(2));
    dir_.Write("t/sub/a.pdf", MakePdf(1));
    dir_.Write("t/odd\nname.pdf", MakePdf(3));
    dir_.Write("t/text.txt", "not a PDF");
  }
  std::string P(const std::string& relative) const { return dir_.str() + "/t/" + relative; }
  TempDir dir_;
};

TEST_F(FileList, CountsExactlyTheNamedFilesInTheGivenOrder) {
  // Not walk order; a folder, a missing file and a file of any name are each one row.
  const fs::path list =
      dir_.Write("list", P("b.pdf") + "\n" + P("text.txt") + "\n\n" + P("sub") + "\n" +
                             P("gone.pdf") + "\n" + P("sub/a.pdf") + "\n" + P("b.pdf"));
  const ProcessResult result = Count({"--files-from", list.string(), "--format", "csv"});
  EXPECT_EQ(result.exit_status, 1) << result.err;
  EXPECT_EQ(result.out, "path,pages,status,reason\n" + P("b.pdf") + ",2,ok,\n" + P("text.txt") +
                            ",,not a PDF file,no PDF header\n" + P("sub") +
                            ",,not a regular file,\n" + P("gone.pdf") +
                            ",,unreadable,cannot open\n" + P("sub/a.pdf") + ",1,ok,\n" +
                            P("b.pdf") + ",2,ok,\n");
  EXPECT_NE(result.err.find("Counted 6 files, 5 pages. 3 files could not be counted."),
            std::string::npos)
      << result.err;
}

TEST_F(FileList, NullSeparatedListFromStandardInputKeepsLineBreaksInNames) {
  const fs::path list = dir_.Write(
      "list0", P("odd\nname.pdf") + std::string(1, '\0') + P("b.pdf") + std::string(1, '\0'));
  ProcessOptions from_stdin;
  from_stdin.input_file = list.string();
  const ProcessResult result = Count({"--null", "--files-from", "-", "-f", "json"}, from_stdin);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "{\"path\":\"" + dir_.str() + "/t/odd\\nname.pdf\",\"pages\":3," +
                            "\"status\":\"ok\"}\n{\"path\":\"" + P("b.pdf") +
                            "\",\"pages\":2,\"status\":\"ok\"}\n");
}

TEST_F(FileList, MisuseIsAUsageErrorBeforeAnythingIsCounted) {
  const fs::path list = dir_.Write("list", P("b.pdf") + "\n");
  EXPECT_EQ(Count({"--files-from", list.string(), P("sub")}).exit_status, 2);
  EXPECT_EQ(Count({"--null", P("b.pdf")}).exit_status, 2);
  const ProcessResult missing = Count({"--files-from", dir_.str() + "/none"});
  EXPECT_EQ(missing.exit_status, 2);
  EXPECT_EQ(missing.err,
            "foliotally-count: cannot read " + dir_.str() + "/none: No such file or directory\n");
  // A NUL byte in a line-separated list: the list was meant for --null.
  const fs::path nul = dir_.Write("nul", P("b.pdf") + std::string(1, '\0') + P("sub/a.pdf"));
  const ProcessResult wrong = Count({"--files-from", nul.string()});
  EXPECT_EQ(wrong.exit_status, 2);
  EXPECT_NE(wrong.err.find("use --null"), std::string::npos) << wrong.err;
}

// The recipe of the manual page with background jobs standing in for GNU parallel: the
// list is split into parts, each counted by its own process, and the CSV files merged.
TEST(FileListRecipe, PartsCountedInParallelMergeIntoTheWholeCsv) {
  TempDir dir;
  for (int i = 0; i < 120; ++i)
    dir.Write("tree/d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".pdf",
              i % 11 == 5 ? std::string("damaged") : MakePdf(1 + i % 5));
  dir.Write("tree/d1/with, comma\nand break.pdf", MakePdf(4));
  const std::string script = R"(set -e
cd "$WORK"
find tree -name '*.pdf' -print0 > all.list
split -t '\0' -n l/3 -d all.list part.
for part in part.0?; do
  "$COUNT" --null --files-from "$part" --format csv --output "$part.csv" &
done
wait
{ head -n 1 part.00.csv; for f in part.0?.csv; do tail -n +2 "$f"; done; } > pages.csv
"$COUNT" --null --files-from all.list --format csv --output whole.csv || true
ls part.0? | wc -l
)";
  ProcessOptions options;
  options.environment = {"WORK=" + dir.str(), std::string("COUNT=") + FOLIOTALLY_COUNT_EXE};
  const ProcessResult result = RunProcess("/bin/sh", {"-c", script}, options);
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "3\n");
  const std::string whole = ReadFileBytes(dir.path() / "whole.csv");
  EXPECT_EQ(ReadFileBytes(dir.path() / "pages.csv"), whole);
  EXPECT_NE(whole.find("\"tree/d1/with, comma\nand break.pdf\",4,ok,\r\n"), std::string::npos);
  EXPECT_NE(whole.find(",,not a PDF file,no PDF header\r\n"), std::string::npos);
}

}  // namespace
}  // namespace foliotally::test
