// Inputs that once crashed or hung the reader (most found by the fuzz target) are replayed
// through both ways into the in-memory reader and through the full decision with qpdf.
#include <gtest/gtest.h>

#include <filesystem>

#include "pagecount/byte_source.h"
#include "pagecount/count_bytes.h"
#include "pagecount/page_counter.h"
#include "support/temp_dir.h"

namespace foliotally::pdf {
namespace {

TEST(Regressions, EveryStoredInputGetsAnAnswer) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(FOLIOTALLY_REGRESSIONS_DIR)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
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

}  // namespace
}  // namespace foliotally::pdf
