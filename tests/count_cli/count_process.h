// Helpers of the tests that run the built foliotally-count.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "count_cli/run_process.h"

namespace foliotally::test {

// Runs foliotally-count; a run that does not end in time fails the test.
ProcessResult RunCount(const std::vector<std::string>& args, const ProcessOptions& options = {});

// The names of every entry of `folder`, sorted: what a run left behind.
std::vector<std::string> EntryNames(const std::filesystem::path& folder);

}  // namespace foliotally::test
