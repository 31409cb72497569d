#include "count_cli/output_sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace foliotally::count_cli {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

// Writes all of `data`, retrying short writes and interrupted calls. Returns 0 or errno.
int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The permissions a new file gets from the process's umask, as if created with 0666. The
// umask can only be read by setting it, so it is put back at once; this runs before any
// other thread is started.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void DescriptorSink::Write(std::string_view text) {
  buffer_.append(text);
  if (line_buffered_ || buffer_.size() >= kBufferSize) Flush();
}

void DescriptorSink::Commit() { Flush(); }

void DescriptorSink::Flush() {
  const int error = WriteAll(fd_, buffer_);
  buffer_.clear();
  if (error != 0) throw OutputError("cannot write to " + name_ + ": " + std::strerror(error));
}

AtomicFileSink::AtomicFileSink(std::string target) : target_(std::move(target)) {
  // A name beginning with a dot keeps the half-written file out of the way; mkstemp makes
  // it unique and opens it exclusively.
  const size_t slash = target_.rfind('/');
  const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  const std::string pattern =
      target_.substr(0, name_start) + "." + target_.substr(name_start) + ".tmp-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  fd_ = ::mkostemp(buffer.data(), O_CLOEXEC);
  if (fd_ < 0) {
    const int error = errno;
    throw OutputError("cannot create a file in " + FolderOf(target_) + " to write " + target_ +
                      ": " + std::strerror(error));
  }
  temporary_ = buffer.data();
  // Keep the target's permissions when replacing it; a new file gets the usual ones.
  struct stat existing {};
  const mode_t mode =
      ::stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();
  ::fchmod(fd_, mode);
}

AtomicFileSink::~AtomicFileSink() { Discard(); }

void AtomicFileSink::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

void AtomicFileSink::Fail(const std::string& what, int error) {
  Discard();
  throw OutputError("cannot " + what + " " + target_ + ": " + std::strerror(error));
}

void AtomicFileSink::Write(std::string_view text) {
  if (fd_ < 0) throw OutputError("cannot write " + target_ + ": the file is closed");
  buffer_.append(text);
  if (buffer_.size() >= kBufferSize) Flush();
}

void AtomicFileSink::Flush() {
  const int error = WriteAll(fd_, buffer_);
  buffer_.clear();
  if (error != 0) Fail("write", error);
}

void AtomicFileSink::Commit() {
  if (fd_ < 0) throw OutputError("cannot write " + target_ + ": the file is closed");
  Flush();
  if (::fsync(fd_) != 0) Fail("write", errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail("write", errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) Fail("replace", errno);
  temporary_.clear();
  // The rename itself is made durable by syncing the folder; a failure here no longer
  // puts the new content at risk of being half there, so it is not reported.
  const int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

}  // namespace foliotally::count_cli
