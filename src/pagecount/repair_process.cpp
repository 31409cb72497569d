#include "pagecount/repair_process.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>

#include "pagecount/unique_fd.h"

extern char** environ;

namespace foliotally::pdf {

namespace {

// The helper's answer is one short line; anything longer is nonsense.
constexpr size_t kMaxAnswer = 64;

// A copy of `fd` numbered 3 or above, so that handing descriptors to the helper's 0 and 1
// cannot overwrite one with the other. Close-on-exec: helpers that other threads start at the
// same moment must not inherit it.
UniqueFd AboveStandardFds(int fd) { return UniqueFd(::fcntl(fd, F_DUPFD_CLOEXEC, 3)); }

// Starts the helper on `file` (its standard input) writing to `answer` (its standard output),
// with default signal handling and nothing blocked, whatever the calling thread has set.
// Returns the process id, or -1.
pid_t Spawn(const std::string& helper, int file, int answer, const Deadline& deadline) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  if (posix_spawnattr_init(&attr) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawn_file_actions_adddup2(&actions, file, 0);
  posix_spawn_file_actions_adddup2(&actions, answer, 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  // The helper bounds its own processor time by the count's time, in case it outlives us.
  std::string seconds = std::to_string(deadline.RemainingMs() / 1000 + 1);
  std::string path = helper;
  char* argv[] = {path.data(), seconds.data(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, path.c_str(), &actions, &attr, argv, environ) != 0) pid = -1;
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Reads the helper's answer until it closes its end, or until the deadline. False on time-out.
bool ReadAnswer(int from, const Deadline& deadline, std::string& answer) {
  for (;;) {
    const int64_t left = deadline.RemainingMs();
    if (left == 0) return false;
    pollfd p{from, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::min<int64_t>(left, INT_MAX)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) return false;
    if (ready < 0) return true;  // nothing more to read: the answer is what came
    char buf[kMaxAnswer];
    const ssize_t n = ::read(from, buf, sizeof buf);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return true;
    answer.append(buf, static_cast<size_t>(n));
    if (answer.size() > kMaxAnswer) return true;
  }
}

// Ends the helper whether or not it is done (a helper that has answered is about to exit
// anyway), and collects it so that no zombie is left.
void EndHelper(pid_t pid) {
  ::kill(pid, SIGKILL);
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

CountResult CountInRepairHelper(const std::string& helper, int fd, const Deadline& deadline) {
  if (helper.empty()) return {Verdict::kDamaged, 0, "no repair helper"};
  const UniqueFd file = AboveStandardFds(fd);
  int ends[2];
  if (file.get() < 0 || ::pipe2(ends, O_CLOEXEC) != 0)
    return {Verdict::kDamaged, 0, "repair helper not started"};
  const UniqueFd read_end(ends[0]);
  UniqueFd write_end = AboveStandardFds(ends[1]);
  ::close(ends[1]);
  if (write_end.get() < 0) return {Verdict::kDamaged, 0, "repair helper not started"};
  const off_t offset = ::lseek(fd, 0, SEEK_CUR);
  const pid_t pid = Spawn(helper, file.get(), write_end.get(), deadline);
  write_end.Reset();  // the end of the answer shows once the helper's copy closes
  if (pid < 0) return {Verdict::kDamaged, 0, "repair helper not started"};
  std::string answer;
  const bool in_time = ReadAnswer(read_end.get(), deadline, answer);
  EndHelper(pid);
  // The helper read through the caller's own open file, which moved its offset; the caller
  // gets it back where it was.
  if (offset >= 0) ::lseek(fd, offset, SEEK_SET);
  if (!in_time) return {Verdict::kTimedOut, 0, "time limit reached in repair"};
  return ParseHelperAnswer(answer);
}

std::string FindRepairHelper() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<const void*>(&FindRepairHelper), &info) == 0 ||
      info.dli_fname == nullptr)
    return {};
  const std::string self = info.dli_fname;
  const size_t slash = self.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : self.substr(0, slash);
  for (const std::string& candidate :
       {dir + "/" FOLIOTALLY_LIBEXEC_FROM_LIBDIR "/" + kRepairHelperName,
        dir + "/" FOLIOTALLY_LIBEXEC_FROM_BINDIR "/" + kRepairHelperName,
        dir + "/" + kRepairHelperName}) {
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

std::string FormatHelperAnswer(CountResult result) {
  return std::to_string(static_cast<int>(result.verdict)) + " " + std::to_string(result.pages) +
         "\n";
}

CountResult ParseHelperAnswer(std::string_view line) {
  const CountResult nonsense{Verdict::kDamaged, 0, "repair helper gave no answer"};
  int verdict = -1;
  int32_t pages = -1;
  const char* end = line.data() + line.size();
  auto [p, ec] = std::from_chars(line.data(), end, verdict);
  if (ec != std::errc{} || p == end || *p != ' ') return nonsense;
  auto [q, ec2] = std::from_chars(p + 1, end, pages);
  if (ec2 != std::errc{} || q + 1 != end || *q != '\n' || pages < 0) return nonsense;
  if (verdict < 0 || verdict > static_cast<int>(Verdict::kTimedOut)) return nonsense;
  const auto v = static_cast<Verdict>(verdict);
  if (v == Verdict::kCounted) return {v, pages, nullptr};
  return {v, 0, v == Verdict::kEncrypted ? "encrypted (repair)" : "damaged beyond repair"};
}

}  // namespace foliotally::pdf
