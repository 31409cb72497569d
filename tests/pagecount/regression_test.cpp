// Inputs that once crashed or hung the reader (most found by the fuzz target) are replayed
// through both ways into the in-memory reader and through the full decision with qpdf.
// The damaged files listed in expected.tsv must also come out with the count a forgiving
// viewer shows, in memory and through the library with its repair helper.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "pagecount/byte_source.h"
#include "pagecount/count_bytes.h"
#include "pagecount/foliotally.h"
#include "pagecount/page_counter.h"
#include "support/temp_dir.h"

namespace foliotally::pdf {
namespace {

const std::filesystem::path kDir = FOLIOTALLY_REGRESSIONS_DIR;

TEST(Regressions, EveryStoredInputGetsAnAnswer) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kDir)) {
    const auto ext = entry.path().extension();
    if (!entry.is_regular_file() || ext == ".md" || ext == ".tsv") continue;
    const std::string bytes = test::ReadFileBytes(entry.path());
    MemoryByteSource source(bytes);
    const CountResult read = ReadPageCount(source);
    const CountResult scan = ScanPageCount(source);
    if (read.verdict == Verdict::kCounted) {
      EXPECT_GE(read.pages, 0) << entry.path();
    }
    if (scan.verdict == Verdict::kCounted) {
      EXPECT_GE(scan.pages, 0) << entry.path();
    }
    CountPdfBytes(bytes);
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}

TEST(Regressions, DamagedFilesCountAsAViewerShowsThem) {
  std::ifstream list(kDir / "expected.tsv");
  std::string line;
  int checked = 0;
  while (std::getline(list, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name, verdict;
    int32_t pages = -1;
    fields >> name >> pages >> verdict;
    const std::filesystem::path path = kDir / name;
    const CountResult in_memory = CountPdfBytesWithReason(test::ReadFileBytes(path));
    EXPECT_EQ(ToResultCode(in_memory), pages) << name;
    EXPECT_EQ(in_memory.recovered, verdict == "recovered") << name;
    FoliotallyCount count{};
    EXPECT_EQ(GetFoliotallyCountAt(AT_FDCWD, path.c_str(), 0, &count), pages) << name;
    EXPECT_EQ(count.verdict,
              verdict == "recovered" ? FOLIOTALLY_RECOVERED : FOLIOTALLY_NOT_COUNTABLE)
        << name;
    EXPECT_NE(count.reason[0], '\0') << name;
    EXPECT_EQ(GetFoliotally(path.c_str()), pages) << name;
    ++checked;
  }
  EXPECT_GE(checked, 12);
}

}  // namespace
}  // namespace foliotally::pdf
