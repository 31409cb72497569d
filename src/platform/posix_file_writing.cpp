// The POSIX calls behind FileWriting.
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/file_writing.h"

namespace foliotally {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsOnProcFileSystem(const std::string& path) {
  struct statfs fs {};
  return ::statfs(path.c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
}

int ErrorOf(int result) { return result == 0 ? 0 : errno; }

class PosixFileWriting final : public FileWriting {
 public:
  int ReadLink(const std::string& path, std::string& text) override {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno;
    if (!S_ISLNK(st.st_mode)) return EINVAL;
    if (IsOnProcFileSystem(FolderOf(path))) return EXDEV;
    // The size lstat gives may be stale or zero; the buffer grows until the text fits.
    std::vector<char> buffer(static_cast<size_t>(st.st_size) + 64);
    for (;;) {
      const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
      if (n < 0) return errno;
      if (static_cast<size_t>(n) < buffer.size()) {
        text.assign(buffer.data(), static_cast<size_t>(n));
        return 0;
      }
      buffer.resize(buffer.size() * 2);
    }
  }

  int StatTarget(const std::string& path, WriteTargetStatus& status) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno;
    status.kind = S_ISREG(st.st_mode)   ? WriteTargetStatus::Kind::kRegularFile
                  : S_ISDIR(st.st_mode) ? WriteTargetStatus::Kind::kFolder
                                        : WriteTargetStatus::Kind::kOther;
    status.mode = st.st_mode & 07777;
    status.owner = st.st_uid;
    status.group = st.st_gid;
    status.writable = ::access(path.c_str(), W_OK) == 0;
    return 0;
  }

  int CreateNew(const std::string& path, int& fd) override {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    return fd < 0 ? errno : 0;
  }

  int OpenExisting(const std::string& path, int& fd) override {
    fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    // Only the open must not wait; writes may, like any writer's.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return 0;
  }

  void CopyOwnership(int fd, const WriteTargetStatus& from) override {
    ::fchmod(fd, static_cast<mode_t>(from.mode));
    // Keeps the owner when an administrator writes over a user's file; refused otherwise,
    // and then the file belongs to whoever wrote it.
    [[maybe_unused]] const int refused = ::fchown(fd, from.owner, from.group);
  }

  int WriteSome(int fd, std::string_view data, size_t& written) override {
    const ssize_t n = ::write(fd, data.data(), data.size());
    written = n > 0 ? static_cast<size_t>(n) : 0;
    return n < 0 ? errno : 0;
  }

  int Sync(int fd) override { return ErrorOf(::fsync(fd)); }
  int Close(int fd) override { return ErrorOf(::close(fd)); }
  int Rename(const std::string& from, const std::string& to) override {
    return ErrorOf(::rename(from.c_str(), to.c_str()));
  }
  int Remove(const std::string& path) override { return ErrorOf(::unlink(path.c_str())); }

  void SyncFolder(const std::string& folder) override {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
  }
};

}  // namespace

FileWriting& SystemFileWriting() {
  static PosixFileWriting calls;
  return calls;
}

int WriteAll(FileWriting& io, int fd, std::string_view data, const std::atomic<bool>* stop) {
  while (!data.empty()) {
    size_t written = 0;
    const int error = io.WriteSome(fd, data, written);
    if (error == EINTR) {
      if (stop != nullptr && stop->load()) return ECANCELED;
      continue;
    }
    if (error != 0) return error;
    if (written == 0) return EIO;  // a write that takes nothing would loop for ever
    data.remove_prefix(written);
  }
  return 0;
}

int WriteAll(int fd, std::string_view data, const std::atomic<bool>* stop) {
  return WriteAll(SystemFileWriting(), fd, data, stop);
}

}  // namespace foliotally
