#include "platform/folder_descriptor.h"

#include <unistd.h>

namespace foliotally {

FolderDescriptor::~FolderDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace foliotally
