#include "count_cli/run_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace foliotally::test {
namespace {

void Collect(int fd, std::string& into, bool& open) {
  char buffer[65536];
  const ssize_t got = ::read(fd, buffer, sizeof buffer);
  if (got > 0) {
    into.append(buffer, static_cast<size_t>(got));
  } else if (got == 0 || errno != EINTR) {
    open = false;
  }
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
  std::vector<char*> argv;
  for (std::string& arg : argv_strings) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int null_in = ::open("/dev/null", O_RDONLY);
    ::dup2(null_in, STDIN_FILENO);
    ::dup2(out_pipe[1], STDOUT_FILENO);
    ::dup2(err_pipe[1], STDERR_FILENO);
    if (!options.working_folder.empty() && ::chdir(options.working_folder.c_str()) != 0)
      ::_exit(126);
    if (options.file_size_limit) {
      const rlimit limit{static_cast<rlim_t>(*options.file_size_limit),
                         static_cast<rlim_t>(*options.file_size_limit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  if (options.after_start) options.after_start(pid);

  ProcessResult result;
  bool out_open = true;
  bool err_open = true;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(options.timeout_seconds);
  while (out_open || err_open) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timed_out = true;
      ::kill(pid, SIGKILL);
      break;
    }
    pollfd fds[2] = {{out_open ? out_pipe[0] : -1, POLLIN, 0},
                     {err_open ? err_pipe[0] : -1, POLLIN, 0}};
    if (::poll(fds, 2, static_cast<int>(left.count())) <= 0) continue;
    if (fds[0].revents) Collect(out_pipe[0], result.out, out_open);
    if (fds[1].revents) Collect(err_pipe[0], result.err, err_open);
  }
  ::close(out_pipe[0]);
  ::close(err_pipe[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

}  // namespace foliotally::test
