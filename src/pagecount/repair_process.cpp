#include "pagecount/repair_process.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>

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

// The file open as `fd`, opened anew: a file description of the helper's own, whose offset
// no other call shares. Where it cannot be opened anew (no /proc, or the file's permissions
// changed since the caller opened it), a duplicate: the helper reads with pread only, so
// even then it moves no offset.
UniqueFd OwnOpenFile(int fd) {
  struct stat held {};
  if (::fstat(fd, &held) != 0) return UniqueFd();
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  const UniqueFd reopened(::open(self.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat again {};
  if (reopened.get() >= 0 && ::fstat(reopened.get(), &again) == 0 && again.st_dev == held.st_dev &&
      again.st_ino == held.st_ino)
    return AboveStandardFds(reopened.get());
  return AboveStandardFds(fd);
}

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
// anyway), and collects it so that no zombie is left. Returns the most memory it held, in
// KiB.
long EndHelper(pid_t pid) {
  ::kill(pid, SIGKILL);
  struct rusage usage {};
  while (::wait4(pid, nullptr, 0, &usage) < 0) {
    if (errno != EINTR) return 0;
  }
  return usage.ru_maxrss;
}

// The real folder of the file this code was loaded from. The main program's name as the
// loader has it is whatever it was started as (a bare name found through PATH, or a path
// relative to the folder it was started in), so its file is asked of the kernel; a library
// loaded through a relative path is resolved now, while the current folder is still the
// one the loader found it from.
std::string LoadedFromFolder() {
  Dl_info info{};
  link_map* map = nullptr;
  if (::dladdr1(reinterpret_cast<const void*>(&LoadedFromFolder), &info,
                reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0)
    return {};
  const bool main_program = map == nullptr || map->l_name == nullptr || map->l_name[0] == '\0';
  const char* file = main_program ? "/proc/self/exe" : info.dli_fname;
  if (file == nullptr) return {};
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(file, nullptr), &std::free);
  if (!real) return {};
  const std::string path = real.get();
  return path.substr(0, path.rfind('/'));
}

std::string LocateRepairHelper() {
  const std::string dir = LoadedFromFolder();
  if (dir.empty()) return {};
  for (const std::string& candidate :
       {dir + "/" FOLIOTALLY_LIBEXEC_FROM_LIBDIR "/" + kRepairHelperName,
        dir + "/" FOLIOTALLY_LIBEXEC_FROM_BINDIR "/" + kRepairHelperName,
        dir + "/" + kRepairHelperName}) {
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

// Found when the library or program is loaded: later the process may have moved to any
// folder (the window follows the folders the user browses).
const std::string kHelperAtLoad = LocateRepairHelper();

RepairRun CouldNotRun() { return {{Verdict::kDamaged, 0, kRepairHelperCouldNotRun}, 0}; }

}  // namespace

bool RepairHelperCouldNotRun(const CountResult& result) {
  return result.repair_helper_missing ||
         (result.why != nullptr && std::string_view(result.why) == kRepairHelperCouldNotRun);
}

RepairRun RunRepairHelper(const std::string& helper, int fd, const Deadline& deadline) {
  if (helper.empty()) return CouldNotRun();
  const UniqueFd file = OwnOpenFile(fd);
  int ends[2];
  if (file.get() < 0 || ::pipe2(ends, O_CLOEXEC) != 0) return CouldNotRun();
  const UniqueFd read_end(ends[0]);
  UniqueFd write_end = AboveStandardFds(ends[1]);
  ::close(ends[1]);
  if (write_end.get() < 0) return CouldNotRun();
  const pid_t pid = Spawn(helper, file.get(), write_end.get(), deadline);
  write_end.Reset();  // the end of the answer shows once the helper's copy closes
  if (pid < 0) return CouldNotRun();
  std::string answer;
  const bool in_time = ReadAnswer(read_end.get(), deadline, answer);
  const long peak_kib = EndHelper(pid);
  if (!in_time) return {{Verdict::kTimedOut, 0, "time limit reached in repair"}, peak_kib};
  return {ParseHelperAnswer(answer), peak_kib};
}

CountResult CountInRepairHelper(const std::string& helper, int fd, const Deadline& deadline) {
  return RunRepairHelper(helper, fd, deadline).result;
}

std::string FindRepairHelper() { return kHelperAtLoad; }

std::string FormatHelperAnswer(CountResult result) {
  const bool repaired = result.verdict == Verdict::kCounted && result.recovered;
  return std::to_string(static_cast<int>(result.verdict)) + " " + std::to_string(result.pages) +
         (repaired ? " 1\n" : "\n");
}

CountResult ParseHelperAnswer(std::string_view line) {
  const CountResult nonsense{Verdict::kDamaged, 0, "repair helper gave no answer"};
  int verdict = -1;
  int32_t pages = -1;
  const char* end = line.data() + line.size();
  auto [p, ec] = std::from_chars(line.data(), end, verdict);
  if (ec != std::errc{} || p == end || *p != ' ') return nonsense;
  auto [q, ec2] = std::from_chars(p + 1, end, pages);
  if (ec2 != std::errc{} || pages < 0) return nonsense;
  const bool repaired = std::string_view(q, static_cast<size_t>(end - q)) == " 1\n";
  if (!repaired && (q + 1 != end || *q != '\n')) return nonsense;
  if (verdict < 0 || verdict > static_cast<int>(Verdict::kTimedOut)) return nonsense;
  const auto v = static_cast<Verdict>(verdict);
  if (v == Verdict::kCounted) return {v, pages, nullptr, repaired};
  return {v, 0, v == Verdict::kEncrypted ? "encrypted (repair)" : "damaged beyond repair"};
}

}  // namespace foliotally::pdf
