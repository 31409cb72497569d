#include "count_cli/run_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string_view>

extern char** environ;

namespace foliotally::test {
namespace {

// How often a pending signal's condition is asked while the child is quiet.
constexpr int kConditionPollMilliseconds = 2;

void Collect(int fd, std::string& into, bool& open) {
  char buffer[65536];
  const ssize_t got = ::read(fd, buffer, sizeof buffer);
  if (got > 0) {
    into.append(buffer, static_cast<size_t>(got));
  } else if (got == 0 || errno != EINTR) {
    open = false;
  }
}

// The test's environment with `extra` ("NAME=value") set: an inherited entry of the same name
// goes, since a program reads the first of two.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra) {
  const auto name_of = [](std::string_view entry) { return entry.substr(0, entry.find('=') + 1); };
  std::vector<std::string> all;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view inherited = *entry;
    const bool replaced = std::any_of(extra.begin(), extra.end(), [&](const std::string& e) {
      return name_of(e) == name_of(inherited);
    });
    if (!replaced) all.emplace_back(inherited);
  }
  all.insert(all.end(), extra.begin(), extra.end());
  return all;
}

std::vector<char*> PointersTo(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void StartChild(const std::string& program, char** argv, char** envp,
                             const ProcessOptions& options, int out_fd, int err_fd) {
  const char* input = options.input_file.empty() ? "/dev/null" : options.input_file.c_str();
  const int in_fd = ::open(input, O_RDONLY);
  if (in_fd < 0) ::_exit(126);
  ::dup2(in_fd, STDIN_FILENO);
  ::dup2(out_fd, STDOUT_FILENO);
  ::dup2(err_fd, STDERR_FILENO);
  for (int fd : options.closed_descriptors) ::close(fd);
  if (!options.working_folder.empty() && ::chdir(options.working_folder.c_str()) != 0) ::_exit(126);
  if (options.file_size_limit) {
    const rlimit limit{static_cast<rlim_t>(*options.file_size_limit),
                       static_cast<rlim_t>(*options.file_size_limit)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  if (options.address_space_limit) {
    const rlimit limit{static_cast<rlim_t>(*options.address_space_limit),
                       static_cast<rlim_t>(*options.address_space_limit)};
    ::setrlimit(RLIMIT_AS, &limit);
  }
  ::execve(program.c_str(), argv, envp);
  ::_exit(127);
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options) {
  int out_pipe[2];
  int err_pipe[2];
  if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  std::vector<std::string> argv_strings{program};
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  std::vector<char*> argv = PointersTo(argv_strings);
  std::vector<std::string> env_strings = EnvironmentWith(options.environment);
  std::vector<char*> envp = PointersTo(env_strings);

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0)
    StartChild(program, argv.data(), envp.data(), options,
               options.output_fd >= 0 ? options.output_fd : out_pipe[1], err_pipe[1]);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);

  ProcessResult result;
  bool out_open = options.output_fd < 0;
  bool err_open = true;
  bool signal_pending = static_cast<bool>(options.signal_when);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(options.timeout_seconds);
  while (out_open || err_open) {
    if (signal_pending && options.signal_when()) {
      ::kill(pid, options.signal);
      signal_pending = false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timed_out = true;
      ::kill(pid, SIGKILL);
      break;
    }
    const int wait = signal_pending ? std::min<int>(kConditionPollMilliseconds, left.count())
                                    : static_cast<int>(left.count());
    pollfd fds[2] = {{out_open ? out_pipe[0] : -1, POLLIN, 0},
                     {err_open ? err_pipe[0] : -1, POLLIN, 0}};
    if (::poll(fds, 2, wait) <= 0) continue;
    if (fds[0].revents) Collect(out_pipe[0], result.out, out_open);
    if (fds[1].revents) Collect(err_pipe[0], result.err, err_open);
  }
  ::close(out_pipe[0]);
  ::close(err_pipe[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.end_signal = WTERMSIG(status);
  return result;
}

}  // namespace foliotally::test
