// Every page of the shared corpus that two renderers agree on (colour.tsv: C colour, G
// black-and-white; ? not judged) gets the same verdict here, read or drawn.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "colour/page_colours.h"
#include "colour/page_drawing.h"
#include "corpus.h"
#include "pagecount/foliotally.h"
#include "pagecount/unique_fd.h"

namespace foliotally::test {
namespace {

TEST(ColourCorpus, EveryJudgedPageMatchesItsLabel) {
  const std::string dir = CorpusDir();
  if (dir.empty()) GTEST_SKIP() << "no corpus";
  std::ifstream labels(std::filesystem::path(dir) / "colour.tsv");
  if (!labels) GTEST_SKIP() << "the corpus has no colour.tsv";
  const std::string renderer = colour::FindRenderer();
  if (renderer.empty()) GTEST_SKIP() << "pdftoppm is not installed (scripts/setup installs it)";
  std::string line;
  int files = 0, judged = 0, wrong = 0;
  while (std::getline(labels, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string file, expected;
    std::getline(fields, file, '\t');
    std::getline(fields, expected, '\t');
    const pdf::UniqueFd fd(::open((dir + "/" + file).c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_GE(fd.get(), 0) << file;
    const int32_t pages = GetFoliotallyFd(fd.get(), 0);
    ASSERT_EQ(pages, static_cast<int32_t>(expected.size())) << file;
    const std::string got = colour::ReadOpenFileColours(fd.get(), pages, 0, renderer).letters;
    ++files;
    for (size_t i = 0; i < expected.size(); ++i) {
      if (expected[i] == '?') continue;
      ++judged;
      if (got[i] != expected[i]) {
        ++wrong;
        ADD_FAILURE() << file << " page " << i + 1 << ": " << got[i] << ", labelled "
                      << expected[i];
      }
    }
  }
  EXPECT_GT(files, 0);
  RecordProperty("judged_pages", judged);
  EXPECT_EQ(wrong, 0) << "of " << judged << " judged pages in " << files << " files";
}

}  // namespace
}  // namespace foliotally::test
