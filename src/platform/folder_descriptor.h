// An open folder held for opening its entries relative to it: a walk that keeps its
// folder's descriptor lets the counter open each file by its name alone, so the kernel
// does not look up every folder above it again for every file.
#pragma once

namespace foliotally {

class FolderDescriptor {
 public:
  // Takes over `fd`, which is closed when the object goes.
  explicit FolderDescriptor(int fd) : fd_(fd) {}
  ~FolderDescriptor();
  FolderDescriptor(const FolderDescriptor&) = delete;
  FolderDescriptor& operator=(const FolderDescriptor&) = delete;

  // The descriptor, for the *at family of calls.
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace foliotally
