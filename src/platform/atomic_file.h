// Writing a file so that it is replaced whole or not at all: the text goes to a temporary
// file beside the target, is flushed to disk, and only then renamed over the target. A
// symbolic link is followed to the file it names, so the link stays in place; a file that
// is replaced keeps its permission bits, and its owner where the process may set it.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

#include "platform/file_writing.h"

namespace foliotally {

class AtomicFile {
 public:
  // What to do with a target that is no regular file: a device, a FIFO, or a descriptor
  // reached through /dev/stdout and the like. Replacing it by a plain file would break
  // it; writing to it directly has no atomicity to offer, but is what the user asked for.
  enum class Streams { kRefuse, kWriteDirectly };

  AtomicFile(FileWriting& io, std::string path, Streams streams);
  // Discards whatever was not committed.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Checks the target and creates the temporary file (or opens the stream). Returns 0 or
  // an errno value: EISDIR for a folder, EACCES for a file nobody may write (read-only
  // holds for an administrator too), EINVAL for a stream that is refused, the system's
  // reason for anything else.
  int Open();
  // Returns 0 or an errno value; after a failure nothing more is written. A write to a
  // stream that blocks is given up (ECANCELED) when a signal interrupts it once `stop` is up.
  int Write(std::string_view data, const std::atomic<bool>* stop = nullptr);
  // Flushes the text to disk and puts it in place of the target. Returns 0 or an errno
  // value; replace_failed() then tells a failed rename from a failed write.
  int Commit();
  // Removes the temporary file; the target stays as it was.
  void Discard();

  bool replace_failed() const { return replace_failed_; }
  bool writes_directly() const { return direct_; }
  // The file that is finally written: the path with its links followed.
  const std::string& target() const { return target_; }
  const std::string& temporary_path() const { return temporary_; }

 private:
  int ResolveLinks();
  int CreateTemporary();

  FileWriting& io_;
  std::string path_;
  Streams streams_;
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool direct_ = false;
  bool replace_failed_ = false;
};

}  // namespace foliotally
