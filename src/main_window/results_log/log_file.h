// Writing the log text to a file without ever leaving a half-written file behind: the text
// goes to a temporary file in the target's folder, is flushed to disk, and only then
// replaces the target. No Qt here.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace foliotally {

// The system calls the save uses, so tests can make one of them fail. Each returns what
// the POSIX call returns and leaves errno set on failure.
class SaveFileIo {
 public:
  virtual ~SaveFileIo() = default;
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Write(int fd, const char* data, std::size_t size);
  virtual int Sync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const char* from, const char* to);
};

// Writes `text` to `fileName` byte for byte, replacing an existing file whole, keeping its
// permission bits. A target that may not be written (a read-only file, a folder, a missing
// folder, no rights) raises EFCreateError "Cannot create file "<full path>". <reason>";
// a failure while writing raises EOutOfResources("Failed to Save Stream"). After either,
// the old file is unchanged and no temporary file is left.
void SaveLogFile(const std::string& fileName, const std::string& text, SaveFileIo& io);
void SaveLogFile(const std::string& fileName, const std::string& text);

// The platform's wording of an errno, without trailing spaces, line breaks and periods.
std::string SystemReason(int error);
// `path` made absolute against the current folder, "." and ".." resolved by name.
std::string FullPathName(const std::string& path);

}  // namespace foliotally
