#include "platform/input_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace foliotally {
namespace {

constexpr size_t kBlockSize = 64 * 1024;
constexpr int kStopCheckMilliseconds = 20;

}  // namespace

InputFile::~InputFile() {
  if (owned_ && fd_ >= 0) ::close(fd_);
}

int InputFile::Open(const std::string& path) {
  if (path == "-") {
    fd_ = STDIN_FILENO;
    return 0;
  }
  // A FIFO's open would wait for a writer, where no interrupt is seen; without waiting,
  // the reads below wait in rounds instead (a FIFO no writer has opened yet has no data
  // and is not at its end).
  fd_ = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) return errno;
  owned_ = true;
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) return EISDIR;
  return 0;
}

int InputFile::Read(std::string& block, const std::atomic<bool>& stop) {
  block.clear();
  pollfd ready{fd_, POLLIN, 0};
  while (true) {
    if (stop.load()) return ECANCELED;
    const int n = ::poll(&ready, 1, kStopCheckMilliseconds);
    if (n > 0) break;
    if (n < 0 && errno != EINTR) return errno;
  }
  block.resize(kBlockSize);
  ssize_t got;
  do {
    got = ::read(fd_, block.data(), block.size());
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    block.clear();
    return errno;
  }
  block.resize(static_cast<size_t>(got));
  return 0;
}

}  // namespace foliotally
