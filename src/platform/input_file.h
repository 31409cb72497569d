// A file read in blocks from start to end, or standard input. While a pipe or a terminal
// has nothing to give, a read waits in short rounds, so that a stop request is seen.
#pragma once

#include <atomic>
#include <string>

namespace foliotally {

class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens `path`; "-" is standard input, which is read but never closed. Returns 0 or an
  // errno value (EISDIR for a folder).
  int Open(const std::string& path);
  // Reads the next block into `block`, which is empty at the end. Returns 0, an errno
  // value, or ECANCELED when `stop` was raised while waiting for data.
  int Read(std::string& block, const std::atomic<bool>& stop);

 private:
  int fd_ = -1;
  bool owned_ = false;
};

}  // namespace foliotally
