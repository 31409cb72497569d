// Put in front of the page-count library's functions (LD_PRELOAD) of a foliotally-count that
// a process test starts: it notes each count, and can hold one file for ever, as a file that never
// ends would be held, so a test can act while the program is known to be counting it.
// Settings come from the environment:
//   FOLIOTALLY_TEST_CALLS  a file that gets a line "NAME TIME_LIMIT" as each file is begun
//   FOLIOTALLY_TEST_HOLD   the name of a file whose count never ends
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void NoteCall(const char* name, uint32_t time_limit_ms) {
  const char* calls = std::getenv("FOLIOTALLY_TEST_CALLS");
  if (calls == nullptr) return;
  const std::string line = std::string(name) + " " + std::to_string(time_limit_ms) + "\n";
  const int fd = ::open(calls, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
  ::close(fd);
}

void NoteAndHold(const char* path, uint32_t time_limit_ms) {
  const char* slash = std::strrchr(path, '/');
  const char* name = slash != nullptr ? slash + 1 : path;
  NoteCall(name, time_limit_ms);
  const char* hold = std::getenv("FOLIOTALLY_TEST_HOLD");
  if (hold != nullptr && std::strcmp(name, hold) == 0) {
    for (;;) ::pause();
  }
}

}  // namespace

extern "C" int32_t GetFoliotally(const char* path) {
  NoteAndHold(path, 0);
  using Count = int32_t (*)(const char*);
  static const Count next = reinterpret_cast<Count>(::dlsym(RTLD_NEXT, "GetFoliotally"));
  return next(path);
}

extern "C" int32_t GetFoliotallyAt(int dirfd, const char* path, uint32_t time_limit_ms) {
  NoteAndHold(path, time_limit_ms);
  using Count = int32_t (*)(int, const char*, uint32_t);
  static const Count next = reinterpret_cast<Count>(::dlsym(RTLD_NEXT, "GetFoliotallyAt"));
  return next(dirfd, path, time_limit_ms);
}

// A file counted from its descriptor is named by the descriptor's link in /proc.
extern "C" int32_t GetFoliotallyFd(int fd, uint32_t time_limit_ms) {
  char path[4096] = "";
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), path, sizeof path - 1);
  path[n > 0 ? n : 0] = '\0';
  NoteAndHold(path, time_limit_ms);
  using Count = int32_t (*)(int, uint32_t);
  static const Count next = reinterpret_cast<Count>(::dlsym(RTLD_NEXT, "GetFoliotallyFd"));
  return next(fd, time_limit_ms);
}

extern "C" int32_t GetFoliotallyCountAt(int dirfd, const char* path, uint32_t time_limit_ms,
                                        void* out) {
  NoteAndHold(path, time_limit_ms);
  using Count = int32_t (*)(int, const char*, uint32_t, void*);
  static const Count next = reinterpret_cast<Count>(::dlsym(RTLD_NEXT, "GetFoliotallyCountAt"));
  return next(dirfd, path, time_limit_ms, out);
}

extern "C" int32_t GetFoliotallyCountFd(int fd, uint32_t time_limit_ms, void* out) {
  char path[4096] = "";
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), path, sizeof path - 1);
  path[n > 0 ? n : 0] = '\0';
  NoteAndHold(path, time_limit_ms);
  using Count = int32_t (*)(int, uint32_t, void*);
  static const Count next = reinterpret_cast<Count>(::dlsym(RTLD_NEXT, "GetFoliotallyCountFd"));
  return next(fd, time_limit_ms, out);
}
