#include "platform/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/posix_attributes.h"
#include "platform/posix_volumes.h"

namespace foliotally {
namespace {

// Where an entry is: a name relative to an open folder (or to the current folder with
// AT_FDCWD), and the same entry as a full path for calls that take only a path; or, with
// `file_fd` set, the entry already open.
struct EntryLocation {
  int dir_fd;
  const char* name;
  const std::string& path;
  int file_fd = -1;
};

#if defined(SYS_getxattrat)
constexpr long kGetxattratCall = SYS_getxattrat;
#elif defined(__x86_64__) || defined(__aarch64__)
constexpr long kGetxattratCall = 464;  // Linux 6.13 on; older C library headers lack it
#else
constexpr long kGetxattratCall = -1;
#endif

// The argument block of getxattrat.
struct XattrArgs {
  uint64_t value;
  uint32_t size;
  uint32_t flags;
};

// Reads the extended attribute `name` of the entry, links followed. Returns its length,
// or -1 with errno set. The lookup relative to the open folder spares the kernel a walk
// down the whole path for each entry; where getxattrat is missing (before Linux 6.13) or
// answers anything but "no such attribute", the path decides, so that an older kernel or a
// sandbox that refuses the call reads exactly what it always read.
ssize_t ReadXattr(const EntryLocation& at, bool& relative_works, const char* name, void* buffer,
                  size_t size) {
  if (at.file_fd >= 0) return fgetxattr(at.file_fd, name, buffer, size);
  if (relative_works && kGetxattratCall >= 0) {
    XattrArgs args{reinterpret_cast<uintptr_t>(buffer), static_cast<uint32_t>(size), 0};
    const long n = syscall(kGetxattratCall, at.dir_fd, at.name, 0u, name, &args, sizeof args);
    if (n >= 0 || errno == ENODATA) return static_cast<ssize_t>(n);
    // A kernel without the call says ENOSYS; a sandbox filter that does not know it may
    // say EPERM. Either way the path is used from here on.
    if (errno == ENOSYS || errno == EPERM) relative_works = false;
  }
  return getxattr(at.path.c_str(), name, buffer, size);
}

// Reads a little-endian 32-bit extended attribute.
std::optional<uint32_t> ReadLe32Xattr(const EntryLocation& at, bool& relative_works,
                                      const char* name, int& error) {
  unsigned char bytes[4];
  const ssize_t n = ReadXattr(at, relative_works, name, bytes, sizeof bytes);
  if (n < 0) {
    error = errno;
    return {};
  }
  error = 0;
  if (n != 4) return {};
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

std::optional<uint32_t> ReadSambaXattr(const EntryLocation& at, bool& relative_works, int& error) {
  // The text form is short; the binary record after it is read along and ignored.
  char buffer[256];
  const ssize_t n = ReadXattr(at, relative_works, "user.DOSATTRIB", buffer, sizeof buffer);
  if (n < 0) {
    error = errno;
    return {};
  }
  error = 0;
  return ParseSambaDosAttributes(std::string_view(buffer, static_cast<size_t>(n)));
}

std::optional<uint32_t> FatAttributesOf(int fd) {
  uint32_t bits = 0;
  return ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &bits) == 0 ? std::optional(bits) : std::nullopt;
}

std::optional<uint32_t> ReadFatAttributes(const EntryLocation& at) {
  if (at.file_fd >= 0) return FatAttributesOf(at.file_fd);
  // FAT holds no FIFOs or devices, and only regular files and folders get here, so the open
  // cannot block; O_NONBLOCK guards it all the same.
  const int fd = openat(at.dir_fd, at.name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return {};
  const std::optional<uint32_t> bits = FatAttributesOf(fd);
  close(fd);
  return bits;
}

// Adds the hidden bit that a file system records for the entry. `source` is switched to
// kNone once the file system says it keeps no such attributes, so a folder on such a file
// system is not asked again for each entry.
void AddHiddenBit(const EntryLocation& at, DosAttributeSource& source, bool& relative_works,
                  FileStatus& status) {
  if (status.kind == EntryKind::kOther) return;  // never listed anyway, and never opened
  std::optional<uint32_t> bits;
  int error = 0;
  switch (source) {
    case DosAttributeSource::kSambaXattr:
      bits = ReadSambaXattr(at, relative_works, error);
      break;
    case DosAttributeSource::kCifsXattr:
      bits = ReadLe32Xattr(at, relative_works, "user.cifs.dosattrib", error);
      break;
    case DosAttributeSource::kNtfsXattr:
      bits = ReadLe32Xattr(at, relative_works, "system.ntfs_attrib", error);
      break;
    case DosAttributeSource::kFatIoctl:
      bits = ReadFatAttributes(at);
      break;
    case DosAttributeSource::kNone:
      return;
  }
  if (error == ENOTSUP) source = DosAttributeSource::kNone;
  if (bits && (*bits & kAttrHidden)) status.attributes |= kAttrHidden;
}

DosAttributeSource SourceOfFolder(int fd) {
  struct statfs fs;
  if (fstatfs(fd, &fs) != 0) return DosAttributeSource::kNone;
  return DosAttributeSourceOf(static_cast<long>(fs.f_type));
}

// Stats `name` relative to `dir_fd`, following links; a dangling link is reported with the
// system bit rather than as missing. Returns 0 or an errno value.
int StatAt(int dir_fd, const char* name, FileStatus& status) {
  struct stat st;
  if (fstatat(dir_fd, name, &st, 0) == 0) {
    status = StatusFromStat(st);
    return 0;
  }
  const int error = errno;
  if (error != ENOENT && error != ELOOP) return error;
  if (fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode)) return error;
  status = StatusFromStat(st, /*dangling_link=*/true);
  return 0;
}

std::string JoinPath(const std::string& folder, const char* name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

// Reads the folder with getdents64 on a descriptor of its own, which is also the one it
// shares: no second descriptor per folder, and none of readdir's extra status call.
class PosixDirectoryStream final : public DirectoryStream {
 public:
  PosixDirectoryStream(int fd, const std::string& folder)
      : source_(SourceOfFolder(fd)),
        folder_(std::make_shared<const FolderDescriptor>(fd, source_)),
        path_(JoinPath(folder, "")),
        folder_length_(path_.size()) {}
  PosixDirectoryStream(const PosixDirectoryStream&) = delete;
  PosixDirectoryStream& operator=(const PosixDirectoryStream&) = delete;

  bool Next(std::string& name, int& error) override {
    current_ = nullptr;
    error = 0;
    if (next_ == filled_ && !Refill(error)) return false;
    current_ = reinterpret_cast<const struct dirent64*>(buffer_.get() + next_);
    next_ += current_->d_reclen;
    name.assign(current_->d_name);
    return true;
  }

  int StatCurrent(FileStatus& status) override {
    if (current_ == nullptr) return EBADF;
    const int error = StatAt(folder_->fd(), current_->d_name, status);
    if (error == 0) AddHiddenBitOfCurrent(status);
    return error;
  }

  int KindOfCurrent(FileStatus& status) override {
    bool hidden_unread = false;
    const int error = KindOfCurrentLeavingHidden(status, hidden_unread);
    if (hidden_unread) AddHiddenBitOfCurrent(status);
    return error;
  }

  int KindOfCurrentLeavingHidden(FileStatus& status, bool& hidden_unread) override {
    hidden_unread = false;
    if (current_ == nullptr) return EBADF;
    if (current_->d_type != DT_REG) return StatCurrent(status);
    status = FileStatus{.kind = EntryKind::kRegularFile, .attributes = kAttrArchive};
    status.inode = current_->d_ino;
    hidden_unread = source_ != DosAttributeSource::kNone;
    return 0;
  }

  std::shared_ptr<const FolderDescriptor> ShareDescriptor() override { return folder_; }

  bool IsListedAsNonFolder() override {
    if (current_ == nullptr) return false;
    switch (current_->d_type) {
      case DT_REG:
      case DT_FIFO:
      case DT_CHR:
      case DT_BLK:
      case DT_SOCK:
        return true;
      default:  // a folder, a link, or a file system that does not say (DT_UNKNOWN)
        return false;
    }
  }

 private:
  // Reads the next block of entries; false at the end of the folder or on an error.
  bool Refill(int& error) {
    // Uninitialised: the kernel fills what is read.
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    ssize_t n;
    do {
      n = getdents64(folder_->fd(), buffer_.get(), kBufferSize);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
      error = n < 0 ? errno : 0;
      filled_ = next_ = 0;
      return false;
    }
    filled_ = static_cast<size_t>(n);
    next_ = 0;
    return true;
  }

  void AddHiddenBitOfCurrent(FileStatus& status) {
    if (source_ == DosAttributeSource::kNone) return;
    path_.resize(folder_length_);  // reuses the buffer: no allocation per entry
    path_ += current_->d_name;
    AddHiddenBit({folder_->fd(), current_->d_name, path_}, source_, relative_xattr_, status);
  }

  // As much as readdir asks for at once.
  static constexpr size_t kBufferSize = 32 * 1024;
  DosAttributeSource source_;
  std::shared_ptr<const FolderDescriptor> folder_;
  std::string path_;  // the folder with a trailing delimiter, then the current name
  size_t folder_length_;
  bool relative_xattr_ = true;  // false once the kernel turned out to lack getxattrat
  std::unique_ptr<char[]> buffer_;
  size_t filled_ = 0;  // bytes of entries in the buffer
  size_t next_ = 0;    // where the next entry begins
  const struct dirent64* current_ = nullptr;
};

}  // namespace

bool OpenFileIsHidden(int fd, DosAttributeSource source) {
  static const std::string kNoPath;
  FileStatus status{.kind = EntryKind::kRegularFile};
  bool relative_works = false;
  AddHiddenBit({-1, nullptr, kNoPath, fd}, source, relative_works, status);
  return (status.attributes & kAttrHidden) != 0;
}

int PosixFileSystem::OpenDirectory(const std::string& folder,
                                   std::unique_ptr<DirectoryStream>& stream) {
  if (folder.empty()) return ENOENT;
  const int fd = open(folder.c_str(), O_RDONLY | O_NONBLOCK | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  stream = std::make_unique<PosixDirectoryStream>(fd, folder);
  return 0;
}

int PosixFileSystem::Stat(const std::string& path, FileStatus& status) {
  if (path.empty()) return ENOENT;
  const int error = StatAt(AT_FDCWD, path.c_str(), status);
  if (error != 0) return error;
  if (status.kind == EntryKind::kOther) return 0;
  struct statfs fs;
  if (statfs(path.c_str(), &fs) != 0) return 0;
  DosAttributeSource source = DosAttributeSourceOf(static_cast<long>(fs.f_type));
  bool relative_works = false;  // a single lookup by path: nothing to gain
  AddHiddenBit({AT_FDCWD, path.c_str(), path}, source, relative_works, status);
  return 0;
}

int PosixFileSystem::StatIgnoringHidden(const std::string& path, FileStatus& status) {
  if (path.empty()) return ENOENT;
  return StatAt(AT_FDCWD, path.c_str(), status);
}

int PosixFileSystem::ChangeDirectory(const std::string& path) {
  if (path.empty()) return ENOENT;
  return chdir(path.c_str()) == 0 ? 0 : errno;
}

int PosixFileSystem::CurrentDirectory(std::string& path) {
  std::string buffer(256, '\0');
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(std::strlen(buffer.c_str()));
      // A cwd that was removed is reported by Linux as "(unreachable)..."; it is no path.
      if (buffer.empty() || buffer[0] != '/') return ENOENT;
      path = std::move(buffer);
      return 0;
    }
    if (errno != ERANGE) return errno;
    buffer.resize(buffer.size() * 2);
  }
}

int PosixFileSystem::CaseRulesOf(const std::string& path, CaseRules& rules) {
  struct statfs fs;
  if (statfs(path.empty() ? "." : path.c_str(), &fs) != 0) return errno;
  rules = CaseRulesOfMagic(static_cast<long>(fs.f_type));
  return 0;
}

std::vector<Volume> PosixFileSystem::Volumes() {
  if (mount_watch_.Changed()) volumes_ = ReadSystemVolumes();
  return volumes_;
}

}  // namespace foliotally
