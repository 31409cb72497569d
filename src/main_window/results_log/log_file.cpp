#include "main_window/results_log/log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "errors/errors.h"

namespace foliotally {

int SaveFileIo::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t SaveFileIo::Write(int fd, const char* data, std::size_t size) {
  return ::write(fd, data, size);
}
int SaveFileIo::Sync(int fd) { return ::fsync(fd); }
int SaveFileIo::Close(int fd) { return ::close(fd); }
int SaveFileIo::Rename(const char* from, const char* to) { return ::rename(from, to); }

std::string SystemReason(int error) {
  std::string reason = std::strerror(error);
  while (!reason.empty() && std::strchr(" \r\n.", reason.back()) != nullptr) reason.pop_back();
  return reason;
}

std::string FullPathName(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

namespace {

[[noreturn]] void ThrowCreateError(const std::string& fullPath, int error) {
  throw EFCreateError("Cannot create file \"" + fullPath + "\". " + SystemReason(error));
}

[[noreturn]] void ThrowStreamError() { throw EOutOfResources("Failed to Save Stream"); }

// The temporary file: closed and removed unless it was moved over the target.
class TempFile {
 public:
  TempFile(SaveFileIo& io, std::string path, int fd) : io_(io), path_(std::move(path)), fd_(fd) {}
  ~TempFile() {
    if (fd_ >= 0) io_.Close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  // Closes the descriptor; false (errno set) when the close reports a delayed write error.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return io_.Close(fd) == 0;
  }
  void Keep() { path_.clear(); }

 private:
  SaveFileIo& io_;
  std::string path_;
  int fd_;
};

// Creates a new file next to `target` with a unique name; mode 0666 so the umask applies
// as for any new file. Returns the descriptor, or -1 with errno set.
int CreateTempNextTo(SaveFileIo& io, const std::filesystem::path& target, std::string& tempPath) {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const std::filesystem::path folder = target.parent_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    // The base name is cut so a long target name still leaves room for the suffix.
    const std::string name = "." + target.filename().string().substr(0, 100) + "." +
                             std::to_string(random() % 1000000000000ULL) + ".tmp";
    tempPath = (folder / name).string();
    const int fd = io.Open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(SaveFileIo& io, int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = io.Write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Where the text really goes: a link is followed so the link itself stays in place.
std::filesystem::path ResolvedTarget(const std::string& fullPath) {
  std::error_code ec;
  std::filesystem::path target(fullPath);
  if (std::filesystem::is_symlink(target, ec)) {
    const std::filesystem::path real = std::filesystem::weakly_canonical(target, ec);
    if (!ec) target = real;
  }
  return target;
}

void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // best effort: the rename is already done
  ::close(fd);
}

}  // namespace

void SaveLogFile(const std::string& fileName, const std::string& text, SaveFileIo& io) {
  const std::string fullPath = FullPathName(fileName);
  if (fileName.empty()) ThrowCreateError(fullPath, ENOENT);
  const std::filesystem::path target = ResolvedTarget(fullPath);

  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) ThrowCreateError(fullPath, errno);
  if (exists) {
    if (S_ISDIR(existing.st_mode)) ThrowCreateError(fullPath, EISDIR);
    // A FIFO or device would be replaced by a plain file (or, opened, could block).
    if (!S_ISREG(existing.st_mode)) ThrowCreateError(fullPath, EINVAL);
    // Read-only means no write bit for anyone; it holds for root too.
    if ((existing.st_mode & 0222) == 0) ThrowCreateError(fullPath, EACCES);
    if (::access(target.c_str(), W_OK) != 0) ThrowCreateError(fullPath, errno);
  }

  std::string tempPath;
  const int fd = CreateTempNextTo(io, target, tempPath);
  if (fd < 0) ThrowCreateError(fullPath, errno);
  TempFile temp(io, tempPath, fd);
  if (exists) {
    ::fchmod(fd, existing.st_mode & 07777);
    // Keeps the owner when an administrator saves over a user's file; may be refused.
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) errno = 0;
  }
  if (!WriteAll(io, fd, text) || io.Sync(fd) != 0 || !temp.Close()) ThrowStreamError();
  if (io.Rename(temp.path().c_str(), target.c_str()) != 0) ThrowCreateError(fullPath, errno);
  temp.Keep();
  SyncFolder(target.parent_path());
}

void SaveLogFile(const std::string& fileName, const std::string& text) {
  SaveFileIo io;
  SaveLogFile(fileName, text, io);
}

}  // namespace foliotally
