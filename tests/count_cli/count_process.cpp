#include "count_cli/count_process.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace foliotally::test {

ProcessResult RunCount(const std::vector<std::string>& args, const ProcessOptions& options) {
  ProcessResult result = RunProcess(FOLIOTALLY_COUNT_EXE, args, options);
  EXPECT_FALSE(result.timed_out) << "foliotally-count did not end";
  return result;
}

std::vector<std::string> EntryNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace foliotally::test
