// Measures every file listed in the corpus's sizes.tsv through the library's export and
// compares each page's size with the one two independent readers agree on.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <utility>
#include <vector>

#include "corpus.h"
#include "pagecount/foliotally.h"

namespace foliotally::test {
namespace {

using Sizes = std::vector<std::pair<double, double>>;  // one (width, height) per page

// "612x792*11 792x612*2" as one entry per page.
Sizes ParseLabel(const std::string& label) {
  Sizes pages;
  std::istringstream groups(label);
  std::string group;
  while (groups >> group) {
    const size_t x = group.find('x'), star = group.find('*');
    const double w = std::stod(group.substr(0, x));
    const double h = std::stod(group.substr(x + 1, star - x - 1));
    pages.insert(pages.end(), std::stoul(group.substr(star + 1)), {w, h});
  }
  return pages;
}

bool Close(const std::pair<double, double>& a, const std::pair<double, double>& b) {
  return std::abs(a.first - b.first) <= 1 && std::abs(a.second - b.second) <= 1;
}

TEST(SizesCorpus, EveryListedFileMeasuresAsTheReadersShowIt) {
  const std::string dir = CorpusDir();
  std::ifstream in(std::filesystem::path(dir) / "sizes.tsv");
  if (dir.empty() || !in) GTEST_SKIP() << "no corpus in this checkout";
  int files = 0, files_ok = 0;
  int64_t pages = 0, pages_ok = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    const std::string path = dir + "/" + line.substr(0, tab);
    Sizes want = ParseLabel(line.substr(tab + 1));
    std::vector<FoliotallyPageSize> groups(64);
    int32_t unknown = -1;
    int32_t n = GetFoliotallySizesAt(AT_FDCWD, path.c_str(), 0, FOLIOTALLY_BOX_CROP, groups.data(),
                                     static_cast<int32_t>(groups.size()), &unknown);
    if (n > static_cast<int32_t>(groups.size())) {
      groups.resize(static_cast<size_t>(n));
      n = GetFoliotallySizesAt(AT_FDCWD, path.c_str(), 0, FOLIOTALLY_BOX_CROP, groups.data(), n,
                               &unknown);
    }
    Sizes got;
    for (int32_t i = 0; i < std::max(n, 0); ++i)
      got.insert(
          got.end(), static_cast<size_t>(groups[static_cast<size_t>(i)].pages),
          {groups[static_cast<size_t>(i)].width_pt, groups[static_cast<size_t>(i)].height_pt});
    auto rounded = [](const std::pair<double, double>& s) {
      return std::pair{std::lround(s.first), std::lround(s.second)};
    };
    auto by_rounded = [&](const auto& a, const auto& b) { return rounded(a) < rounded(b); };
    std::sort(want.begin(), want.end(), by_rounded);
    std::sort(got.begin(), got.end(), by_rounded);
    ++files;
    pages += static_cast<int64_t>(want.size());
    int64_t matched = 0;
    for (size_t i = 0; i < std::min(want.size(), got.size()); ++i)
      matched += Close(want[i], got[i]);
    const bool ok = n >= 0 && unknown == 0 && got.size() == want.size() &&
                    matched == static_cast<int64_t>(want.size());
    files_ok += ok;
    pages_ok += ok ? matched : std::min<int64_t>(matched, static_cast<int64_t>(got.size()));
    EXPECT_TRUE(ok) << path << ": result " << n << ", unknown " << unknown << ", " << got.size()
                    << " pages measured, " << matched << " of " << want.size() << " as listed";
  }
  std::cout << "sizes tally: files " << files_ok << "/" << files << ", pages " << pages_ok << "/"
            << pages << "\n";
}

}  // namespace
}  // namespace foliotally::test
