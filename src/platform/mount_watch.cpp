#include "platform/mount_watch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace foliotally {

MountWatch::MountWatch() : fd_(open("/proc/self/mounts", O_RDONLY | O_CLOEXEC)) {}

MountWatch::~MountWatch() {
  if (fd_ >= 0) close(fd_);
}

bool MountWatch::Changed() {
  if (fd_ < 0) return true;
  pollfd watched{fd_, POLLPRI, 0};
  // The poll also takes the change note off, so the next call reports only later changes.
  const int ready = poll(&watched, 1, 0);
  const bool changed = ready != 0 && (ready < 0 || (watched.revents & (POLLPRI | POLLERR)));
  if (first_) {
    first_ = false;
    return true;
  }
  return changed;
}

}  // namespace foliotally
