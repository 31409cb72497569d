// Tells whether the system's mount table changed since it was last looked at, without
// reading it: the kernel flags an open /proc/self/mounts when anything is mounted or
// unmounted. Reading and parsing the table costs far more than asking this, and the folder
// browser asks which volume holds a folder at every change of folder.
#pragma once

namespace foliotally {

class MountWatch {
 public:
  MountWatch();
  ~MountWatch();
  MountWatch(const MountWatch&) = delete;
  MountWatch& operator=(const MountWatch&) = delete;

  // True the first time, and whenever the table changed since the previous call. Also true
  // on every call where the table cannot be watched, so callers never keep a stale copy.
  bool Changed();

 private:
  int fd_ = -1;
  bool first_ = true;
};

}  // namespace foliotally
