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
  int exit_status = -1;  // the exit code; -1 when a signal ended the child
  int end_signal = 0;    // the signal that ended the child, 0 when it exited
  std::string out;
  std::string err;
  bool timed_out = false;
};

struct ProcessOptions {
  std::string working_folder;               // empty: the test's own
  std::optional<long> file_size_limit;      // RLIMIT_FSIZE in bytes for the child
  std::optional<long> address_space_limit;  // RLIMIT_AS in bytes for the child
  // The child's standard output, when not collected: a descriptor the test holds (a pipe
  // it never reads, say). -1: collected into ProcessResult::out.
  int output_fd = -1;
  int timeout_seconds = 60;
  std::vector<std::string> environment;  // NAME=VALUE added to the test's own
  std::string input_file;                // standard input; empty: /dev/null
  std::vector<int> closed_descriptors;   // closed in the child before it starts
  // Sends `signal` to the child once `signal_when` is true; asked again and again while
  // the child runs and its output is read.
  std::function<bool()> signal_when;
  int signal = 0;
};

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = {});

}  // namespace foliotally::test
