// Real files cut short, as an interrupted download or copy leaves them: every corpus file
// over 20 KB cut at a tenth, half and nine tenths of its length and at 200 bytes. A cut file
// is damaged, so no count of it may pass as sound: it is recovered, with no more pages than
// the whole file has, or not countable.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "corpus.h"
#include "pagecount/foliotally.h"
#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

constexpr uintmax_t kLargerThan = 20 * 1024;

// Counts `bytes` through the library, from an anonymous file.
FoliotallyCount CountBytes(const std::string& bytes) {
  FoliotallyCount count{};
  const int fd = ::memfd_create("cut.pdf", MFD_CLOEXEC);
  if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    ADD_FAILURE() << "cannot write an anonymous file";
  } else {
    GetFoliotallyCountFd(fd, 0, &count);
  }
  if (fd >= 0) ::close(fd);
  return count;
}

TEST(CorpusCut, NoCutFileComesOutSound) {
  const std::string dir = CorpusDir();
  if (dir.empty()) GTEST_SKIP() << "no corpus in this checkout";
  int files = 0, recovered = 0, not_countable = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".pdf" ||
        entry.file_size() <= kLargerThan)
      continue;
    FoliotallyCount whole{};
    GetFoliotallyCountAt(AT_FDCWD, entry.path().c_str(), 0, &whole);
    if (whole.pages <= 0) continue;  // nothing to compare a cut with
    ++files;
    const std::string bytes = ReadFileBytes(entry.path());
    for (const size_t length :
         {bytes.size() / 10, bytes.size() / 2, bytes.size() / 10 * 9, size_t{200}}) {
      const FoliotallyCount cut = CountBytes(bytes.substr(0, length));
      const std::string where = entry.path().string() + " cut at " + std::to_string(length);
      EXPECT_NE(cut.verdict, FOLIOTALLY_SOUND) << where << ": " << cut.pages;
      if (cut.verdict == FOLIOTALLY_RECOVERED) {
        ++recovered;
        EXPECT_GT(cut.pages, 0) << where;
        EXPECT_LE(cut.pages, whole.pages) << where << " (" << cut.reason << ")";
        EXPECT_NE(cut.reason[0], '\0') << where;
      } else {
        ++not_countable;
        EXPECT_LT(cut.pages, 0) << where;
      }
    }
  }
  std::cout << "cut files: " << files << " files, " << recovered << " cuts recovered, "
            << not_countable << " not countable\n";
}

}  // namespace
}  // namespace foliotally::test
