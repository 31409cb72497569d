// The calls that write files, behind an interface so that a test can make any one of them
// fail, and the one loop that writes a whole text.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace foliotally {

// What stands at a path that is about to be written, links followed.
struct WriteTargetStatus {
  enum class Kind { kRegularFile, kFolder, kOther };  // other: a device, FIFO or socket
  Kind kind = Kind::kOther;
  uint32_t mode = 0;  // permission bits
  uint32_t owner = 0;
  uint32_t group = 0;
  bool writable = false;  // this process may open it for writing
};

// Each call returns 0 or an errno value.
class FileWriting {
 public:
  virtual ~FileWriting() = default;
  // The text of the symbolic link `path`. EINVAL when `path` is no link, ENOENT when
  // nothing is there; EXDEV for a link the system makes for an open descriptor
  // (/proc/self/fd/N, where /dev/stdout leads), whose text names nothing to replace.
  virtual int ReadLink(const std::string& path, std::string& text) = 0;
  virtual int StatTarget(const std::string& path, WriteTargetStatus& status) = 0;
  // Creates `path` for writing, EEXIST when it exists; permissions as for any new file
  // (0666 less the umask).
  virtual int CreateNew(const std::string& path, int& fd) = 0;
  // Opens the existing `path` for appending without creating or truncating it. Never waits
  // for the reader of a FIFO: ENXIO when there is none.
  virtual int OpenExisting(const std::string& path, int& fd) = 0;
  // Gives the open file the permission bits of `from`, and its owner where allowed.
  virtual void CopyOwnership(int fd, const WriteTargetStatus& from) = 0;
  // Writes up to data.size() bytes; `written` gets how many went out.
  virtual int WriteSome(int fd, std::string_view data, size_t& written) = 0;
  virtual int Sync(int fd) = 0;
  virtual int Close(int fd) = 0;
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  virtual int Remove(const std::string& path) = 0;
  // Makes a rename in `folder` durable; best effort, for a new name is already in place.
  virtual void SyncFolder(const std::string& folder) = 0;
};

// The operating system's calls. The object holds no state, so one serves the program.
FileWriting& SystemFileWriting();

// Writes all of `data`, going on after short writes and interrupted calls. Returns 0 or
// the errno value of the failing write; ECANCELED when a write was interrupted once `stop`
// was raised (a write nobody takes is given up instead of waited for).
int WriteAll(FileWriting& io, int fd, std::string_view data,
             const std::atomic<bool>* stop = nullptr);
int WriteAll(int fd, std::string_view data, const std::atomic<bool>* stop = nullptr);

}  // namespace foliotally
