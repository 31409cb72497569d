#include "colour/page_drawing.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "colour/pixel_tally.h"
#include "pagecount/unique_fd.h"

extern char** environ;

namespace foliotally::colour {

namespace {

using pdf::Deadline;
using pdf::UniqueFd;

// The descriptor the renderer reads the file from: "/dev/fd/3" names the very file this
// program opened, whatever its name holds and whatever happened to the name since.
constexpr int kFileSlot = 3;

// A folder of its own for one run's images, removed with whatever is left in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/foliotally-draw-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    if (path_.empty()) return;
    if (DIR* dir = ::opendir(path_.c_str())) {
      while (const dirent* entry = ::readdir(dir))
        if (entry->d_name[0] != '.') ::unlink((path_ + "/" + entry->d_name).c_str());
      ::closedir(dir);
    }
    ::rmdir(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The renderer, started in a process group of its own with the file on descriptor 3 and
// its messages on `messages`; ended (with its group) and collected when this goes.
class RendererProcess {
 public:
  RendererProcess(const std::string& renderer, std::vector<std::string> args, int file,
                  int messages, const Deadline& deadline) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    if (posix_spawn_file_actions_init(&actions) != 0) return;
    if (posix_spawnattr_init(&attr) != 0) {
      posix_spawn_file_actions_destroy(&actions);
      return;
    }
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(
        &attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, messages, 1);
    posix_spawn_file_actions_adddup2(&actions, messages, 2);
    posix_spawn_file_actions_adddup2(&actions, file, kFileSlot);
    std::vector<char*> argv;
    args.insert(args.begin(), renderer);
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, renderer.c_str(), &actions, &attr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (pid_ > 0) Bound(deadline);
  }
  ~RendererProcess() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  RendererProcess(const RendererProcess&) = delete;
  RendererProcess& operator=(const RendererProcess&) = delete;
  bool started() const { return pid_ > 0; }

 private:
  // Set from outside right after the start: the renderer has not yet read a byte of the
  // file by then. Processor time outlasts the deadline a little, so that the deadline,
  // not the limit, ends a renderer this program still waits for.
  void Bound(const Deadline& deadline) {
    const rlimit memory{kRendererMemoryBytes, kRendererMemoryBytes};
    ::prlimit(pid_, RLIMIT_AS, &memory, nullptr);
    const rlim_t seconds = static_cast<rlim_t>(deadline.RemainingMs() / 1000 + 2);
    const rlimit cpu{seconds, seconds + 1};
    ::prlimit(pid_, RLIMIT_CPU, &cpu, nullptr);
  }

  pid_t pid_ = -1;
};

// Reads and drops the renderer's messages until it closes them (it has ended) or the
// deadline passes. False on time-out.
bool AwaitEnd(int messages, const Deadline& deadline) {
  char buf[4096];
  for (;;) {
    const int64_t left = deadline.RemainingMs();
    if (left == 0) return false;
    pollfd p{messages, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::min<int64_t>(left, INT_MAX)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) return false;
    if (ready < 0) return true;
    const ssize_t n = ::read(messages, buf, sizeof buf);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return true;
  }
}

// The page number of an image the renderer wrote, "p-007.ppm" for page 7; 0 otherwise.
int PageOfImage(std::string_view name) {
  if (!name.starts_with("p-") || !name.ends_with(".ppm")) return 0;
  const std::string_view digits = name.substr(2, name.size() - 6);
  int page = 0;
  const auto [ptr, error] = std::from_chars(digits.data(), digits.data() + digits.size(), page);
  return error == std::errc() && ptr == digits.data() + digits.size() ? page : 0;
}

DrawnColour LookAtImage(const std::string& path) {
  const UniqueFd image(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (image.get() < 0) return DrawnColour::kUnknown;
  PixelTally tally;
  char buf[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(image.get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    tally.Feed(std::string_view(buf, static_cast<size_t>(n)));
    if (tally.Verdict() == PixelVerdict::kColour) return DrawnColour::kColour;
  }
  if (tally.Verdict() != PixelVerdict::kNeutral) return DrawnColour::kUnknown;
  // A page cut at the size bound was not seen whole: its grey part proves nothing.
  if (tally.width() >= static_cast<uint32_t>(kMaxDrawnSide) ||
      tally.height() >= static_cast<uint32_t>(kMaxDrawnSide))
    return DrawnColour::kUnknown;
  return DrawnColour::kNeutral;
}

// One run of the renderer over pages first..last; fills their entries of `out` (index 0 is
// page `offset`).
void DrawRun(const std::string& renderer, int file, int first, int last, int offset,
             const Deadline& deadline, std::vector<DrawnColour>& out) {
  const ScratchFolder folder;
  if (folder.path().empty()) return;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return;
  const UniqueFd read_end(ends[0]);
  UniqueFd write_end(ends[1]);
  const std::string side = std::to_string(kMaxDrawnSide);
  {
    const RendererProcess process(
        renderer,
        {"-r", std::to_string(kDrawDpi), "-f", std::to_string(first), "-l", std::to_string(last),
         "-W", side, "-H", side, "/dev/fd/" + std::to_string(kFileSlot), folder.path() + "/p"},
        file, write_end.get(), deadline);
    write_end.Reset();  // the end of the messages shows once the renderer's copy closes
    if (!process.started()) return;
    AwaitEnd(read_end.get(), deadline);
  }
  DIR* dir = ::opendir(folder.path().c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const int page = PageOfImage(entry->d_name);
    if (page < first || page > last) continue;
    // After a time-out the newest image may be cut short: it then reads as unknown.
    const DrawnColour seen = LookAtImage(folder.path() + "/" + entry->d_name);
    out[static_cast<size_t>(page - offset)] = seen;
  }
  ::closedir(dir);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindRenderer() {
  const char* path = std::getenv("PATH");
  std::string_view folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (!folders.empty()) {
    const size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
    // An empty or relative entry would find a program by the current folder: never that.
    if (folder.empty() || folder[0] != '/') continue;
    const std::string candidate = std::string(folder) + "/" + kRendererName;
    if (IsExecutableFile(candidate)) return candidate;
  }
  return {};
}

std::vector<DrawnColour> DrawPages(const std::string& renderer, int fd, int first, int last,
                                   const Deadline& deadline) {
  if (first < 1 || last < first) return {};
  std::vector<DrawnColour> out(static_cast<size_t>(last - first + 1), DrawnColour::kUnknown);
  if (renderer.empty()) return out;
  // A copy of the descriptor numbered above the standard ones and the slot, closed on exec:
  // the renderer gets it only as its descriptor 3.
  const UniqueFd file(::fcntl(fd, F_DUPFD_CLOEXEC, kFileSlot + 1));
  if (file.get() < 0) return out;
  // Counted in 64 bits: the last run may end at the largest page number there is.
  for (int64_t from = first; from <= last && !deadline.Passed(); from += kPagesPerDrawing) {
    const auto to = static_cast<int>(std::min<int64_t>(from + kPagesPerDrawing - 1, last));
    DrawRun(renderer, file.get(), static_cast<int>(from), to, first, deadline, out);
  }
  return out;
}

}  // namespace foliotally::colour
