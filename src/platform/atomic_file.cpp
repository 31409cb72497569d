#include "platform/atomic_file.h"

#include <cerrno>
#include <random>

namespace foliotally {
namespace {

// Links followed before the target counts as a loop, as the kernel counts them.
constexpr int kMaxLinks = 40;
// Room left in a 255-byte name for the dot and the ".tmp-XXXXXX" suffix.
constexpr size_t kMaxBaseName = 240;

size_t NameStart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string FolderOf(const std::string& path) {
  const size_t start = NameStart(path);
  if (start == 0) return ".";
  return start == 1 ? "/" : path.substr(0, start - 1);
}

// ".NAME.tmp-XXXXXX" beside `target`: a leading dot keeps the half-written file out of
// sight of folder listings.
std::string TemporaryNameFor(const std::string& target, std::mt19937_64& random) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  const size_t start = NameStart(target);
  std::string name = target.substr(0, start) + "." + target.substr(start, kMaxBaseName) + ".tmp-";
  for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
}

}  // namespace

AtomicFile::AtomicFile(FileWriting& io, std::string path, Streams streams)
    : io_(io), path_(std::move(path)), streams_(streams), target_(path_) {}

AtomicFile::~AtomicFile() { Discard(); }

int AtomicFile::ResolveLinks() {
  for (int links = 0; links <= kMaxLinks; ++links) {
    std::string text;
    const int error = io_.ReadLink(target_, text);
    if (error == EINVAL || error == ENOENT) return 0;  // no link (yet): this is the name
    if (error == EXDEV) {
      direct_ = true;
      return 0;
    }
    if (error != 0) return error;
    if (text.empty()) return ENOENT;
    const size_t start = NameStart(target_);
    target_ = text.front() == '/' || start == 0 ? text : target_.substr(0, start) + text;
  }
  return ELOOP;
}

int AtomicFile::Open() {
  if (path_.empty()) return ENOENT;
  if (const int error = ResolveLinks(); error != 0) return error;
  WriteTargetStatus status;
  const int missing = io_.StatTarget(target_, status);
  if (missing != 0 && missing != ENOENT) return missing;
  const bool exists = missing == 0;
  if (exists && status.kind == WriteTargetStatus::Kind::kFolder) return EISDIR;
  if (exists && status.kind == WriteTargetStatus::Kind::kOther) direct_ = true;
  if (direct_) {
    if (streams_ == Streams::kRefuse) return EINVAL;
    return io_.OpenExisting(path_, fd_);
  }
  if (exists && ((status.mode & 0222) == 0 || !status.writable)) return EACCES;
  if (const int error = CreateTemporary(); error != 0) return error;
  if (exists) io_.CopyOwnership(fd_, status);
  return 0;
}

int AtomicFile::CreateTemporary() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  int error = EEXIST;
  for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
    const std::string name = TemporaryNameFor(target_, random);
    error = io_.CreateNew(name, fd_);
    if (error == 0) temporary_ = name;
  }
  return error;
}

int AtomicFile::Write(std::string_view data, const std::atomic<bool>* stop) {
  if (fd_ < 0) return EBADF;
  const int error = WriteAll(io_, fd_, data, stop);
  if (error != 0) Discard();
  return error;
}

int AtomicFile::Commit() {
  replace_failed_ = false;
  if (fd_ < 0) return EBADF;
  const int fd = fd_;
  fd_ = -1;
  // A device or FIFO has nothing to make durable; fsync would only say EINVAL.
  int error = direct_ ? 0 : io_.Sync(fd);
  // A file system may report a delayed write error only when the file is closed.
  const int close_error = io_.Close(fd);
  if (error == 0) error = close_error;
  if (error == 0 && !direct_) {
    error = io_.Rename(temporary_, target_);
    replace_failed_ = error != 0;
  }
  if (error != 0) {
    Discard();
    return error;
  }
  if (!direct_) io_.SyncFolder(FolderOf(target_));
  temporary_.clear();
  return 0;
}

void AtomicFile::Discard() {
  if (fd_ >= 0) io_.Close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) io_.Remove(temporary_);
  temporary_.clear();
}

}  // namespace foliotally
