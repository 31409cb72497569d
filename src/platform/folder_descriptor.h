// An open folder held for opening its entries relative to it: a walk that keeps its
// folder's descriptor lets the counter open each file by its name alone, so the kernel
// does not look up every folder above it again for every file.
#pragma once

#include <utility>

#include "platform/dos_attribute_source.h"

namespace foliotally {

// A file opened for reading; closed when the object goes.
class OpenedFile {
 public:
  explicit OpenedFile(int fd) : fd_(fd) {}
  ~OpenedFile();
  OpenedFile(OpenedFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  OpenedFile& operator=(OpenedFile&&) = delete;
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }

 private:
  int fd_;
};

class FolderDescriptor {
 public:
  // Takes over `fd`, which is closed when the object goes. `source` tells where the
  // folder's file system keeps the hidden bit.
  explicit FolderDescriptor(int fd, DosAttributeSource source = DosAttributeSource::kNone)
      : fd_(fd), source_(source) {}
  ~FolderDescriptor();
  FolderDescriptor(const FolderDescriptor&) = delete;
  FolderDescriptor& operator=(const FolderDescriptor&) = delete;

  // The descriptor, for the *at family of calls.
  int fd() const { return fd_; }

  // Opens the entry `name` for reading as the page counter would: links followed, and
  // never waiting for the writer of a FIFO. Not ok() when it cannot be opened.
  OpenedFile Open(const char* name) const;
  // Whether a file opened from this folder carries the hidden bit. Asking the open file
  // costs no lookup of its name, which asking by name before opening it would.
  bool IsHidden(const OpenedFile& file) const;

 private:
  int fd_;
  DosAttributeSource source_;
};

}  // namespace foliotally
