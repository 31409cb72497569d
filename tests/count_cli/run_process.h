// Runs a program as a child process and collects what it writes, for tests that drive the
// built command-line tool. A child that does not end in time is killed, so a hang fails
// the test instead of stopping the suite.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace foliotally::test {

struct ProcessResult {
  int exit_status = -1;  // the exit code, or 128 + signal number
  std::string out;
  std::string err;
  bool timed_out = false;
};

struct ProcessOptions {
  std::string working_folder;           // empty: the test's own
  std::optional<long> file_size_limit;  // RLIMIT_FSIZE in bytes for the child
  int timeout_seconds = 60;
  // Runs in the parent once the child has started, with the child's process id.
  std::function<void(int pid)> after_start;
};

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = {});

}  // namespace foliotally::test
