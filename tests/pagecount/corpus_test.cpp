// Counts every file of the shared corpus through the library's exported function and
// compares with the expected counts.
#include "corpus.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <string>

#include "pagecount/foliotally.h"

namespace foliotally::test {
namespace {

TEST(Corpus, EveryFileGetsItsExpectedCount) {
  const std::vector<CorpusRow> rows = LoadCorpus();
  if (rows.empty()) GTEST_SKIP() << "no corpus in this checkout";
  int exact = 0, exact_ok = 0, any = 0, any_ok = 0, password = 0, password_counted = 0;
  int unknown = 0, unknown_negative = 0, exact_sound = 0, any_not_countable = 0;
  std::string recovered_exact;
  for (const CorpusRow& row : rows) {
    FoliotallyCount count{};
    const int32_t got = GetFoliotallyCountAt(AT_FDCWD, row.path.c_str(), 0, &count);
    EXPECT_EQ(GetFoliotally(row.path.c_str()), got) << row.path;
    const bool listed = std::find(row.counts.begin(), row.counts.end(), got) != row.counts.end();
    // A count of 0 is only for a sound file: a damaged file in which the tools find no page
    // is not countable.
    const bool zero_listed = std::find(row.counts.begin(), row.counts.end(), 0) != row.counts.end();
    const bool none_found = zero_listed && got < 0;
    EXPECT_TRUE(got != 0 || count.verdict == FOLIOTALLY_SOUND) << row.path;
    switch (row.kind) {
      case CorpusRow::Kind::kExact:
        ++exact;
        exact_ok += listed;
        exact_sound += listed && count.verdict == FOLIOTALLY_SOUND;
        if (count.verdict == FOLIOTALLY_RECOVERED)
          recovered_exact += "\n  " + row.path + ": " + count.reason;
        EXPECT_TRUE(listed) << row.path << ": got " << got << ", want " << row.counts[0];
        break;
      case CorpusRow::Kind::kAnyOf:
        ++any;
        any_ok += listed;
        any_not_countable += none_found;
        EXPECT_TRUE(listed || none_found) << row.path << ": got " << got;
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
  std::cout << "corpus tally: exact " << exact_ok << "/" << exact << " (" << exact_sound
            << " sound), any-of " << any_ok << "/" << any << " (" << any_not_countable
            << " more not countable where no tool found a page), password rows counted "
            << password_counted << "/" << password << ", unknown rows answered " << unknown << " ("
            << unknown_negative << " negative)\n"
            << "exact rows read as recovered (damaged files the tools repair):" << recovered_exact
            << "\n";
}

}  // namespace
}  // namespace foliotally::test
