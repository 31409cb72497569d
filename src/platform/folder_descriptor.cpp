#include "platform/folder_descriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/posix_file_system.h"

namespace foliotally {

OpenedFile::~OpenedFile() {
  if (fd_ >= 0) ::close(fd_);
}

FolderDescriptor::~FolderDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

OpenedFile FolderDescriptor::Open(const char* name) const {
  return OpenedFile(::openat(fd_, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
}

bool FolderDescriptor::IsHidden(const OpenedFile& file) const {
  return file.ok() && OpenFileIsHidden(file.fd(), source_);
}

}  // namespace foliotally
