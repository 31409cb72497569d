// The shared corpus of real-world and damaged PDF files, with the counts the page counter
// must give (expected.tsv). Tests and benchmarks read it from FOLIOTALLY_CORPUS_DIR.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace foliotally::test {

struct CorpusRow {
  enum class Kind { kExact, kAnyOf, kPassword, kUnknown };
  std::string path;  // full path of the file
  Kind kind = Kind::kUnknown;
  std::vector<int32_t> counts;  // the right answers (one for exact and password rows)
};

// The corpus folder, or empty when this checkout has none.
std::string CorpusDir();
// The rows of expected.tsv; empty when there is no corpus.
std::vector<CorpusRow> LoadCorpus();

}  // namespace foliotally::test
