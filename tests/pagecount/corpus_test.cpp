// Counts every file of the shared corpus through the library's exported function and
// compares with the expected counts.
#include "corpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "pagecount/foliotally.h"

namespace foliotally::test {
namespace {

TEST(Corpus, EveryFileGetsItsExpectedCount) {
  const std::vector<CorpusRow> rows = LoadCorpus();
  if (rows.empty()) GTEST_SKIP() << "no corpus in this checkout";
  int exact = 0, exact_ok = 0, any = 0, any_ok = 0, password = 0, password_counted = 0;
  int unknown = 0, unknown_negative = 0;
  for (const CorpusRow& row : rows) {
    const int32_t got = GetFoliotally(row.path.c_str());
    const bool listed = std::find(row.counts.begin(), row.counts.end(), got) != row.counts.end();
    switch (row.kind) {
      case CorpusRow::Kind::kExact:
        ++exact;
        exact_ok += listed;
        EXPECT_TRUE(listed) << row.path << ": got " << got << ", want " << row.counts[0];
        break;
      case CorpusRow::Kind::kAnyOf:
        ++any;
        any_ok += listed;
        EXPECT_TRUE(listed) << row.path << ": got " << got;
        break;
      case CorpusRow::Kind::kPassword:
        // Counting without the password is a plus; a count that is not the true one is wrong.
        ++password;
        password_counted += listed;
        EXPECT_TRUE(listed || got < 0) << row.path << ": got " << got;
        break;
      case CorpusRow::Kind::kUnknown:
        ++unknown;
        unknown_negative += got < 0;
        break;
    }
  }
  std::cout << "corpus tally: exact " << exact_ok << "/" << exact << ", any-of " << any_ok << "/"
            << any << ", password rows counted " << password_counted << "/" << password
            << ", unknown rows answered " << unknown << " (" << unknown_negative << " negative)\n";
}

}  // namespace
}  // namespace foliotally::test
