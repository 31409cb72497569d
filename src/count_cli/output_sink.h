// Where the results go: standard output, or a file that is replaced only when complete.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

#include "errors/errors.h"
#include "platform/atomic_file.h"

namespace foliotally::count_cli {

// Writing the results failed; the message names the file and the system's reason.
class OutputError : public Exception {
  using Exception::Exception;
};

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // Throws OutputError.
  virtual void Write(std::string_view text) = 0;
  // Everything written so far reaches its destination. Throws OutputError.
  virtual void Commit() = 0;
};

// Writes to a file descriptor the program does not own (standard output), through a
// buffer; with `line_buffered` each Write goes out at once (for a terminal). A write that
// waits for a reader is given up when a signal interrupts it once `stop` is up.
class DescriptorSink final : public OutputSink {
 public:
  DescriptorSink(int fd, std::string name, bool line_buffered,
                 const std::atomic<bool>* stop = nullptr)
      : fd_(fd), name_(std::move(name)), line_buffered_(line_buffered), stop_(stop) {}
  void Write(std::string_view text) override;
  void Commit() override;

 private:
  void Flush();
  int fd_;
  std::string name_;
  bool line_buffered_;
  const std::atomic<bool>* stop_;
  std::string buffer_;
};

// Writes `target` through the atomic writer: a regular file (or a link to one) is replaced
// by Commit and untouched until then; a device, FIFO or /dev/stdout is written directly. A
// sink destroyed without a successful Commit leaves no temporary file.
class AtomicFileSink final : public OutputSink {
 public:
  // Checks the target and creates the temporary file. Throws OutputError, so a target
  // that cannot be written (a folder, a read-only file) is refused before any counting.
  AtomicFileSink(FileWriting& io, std::string target, const std::atomic<bool>* stop = nullptr);

  void Write(std::string_view text) override;
  void Commit() override;

 private:
  void Flush();
  [[noreturn]] void Fail(const std::string& what, int error);
  std::string target_;
  const std::atomic<bool>* stop_;
  AtomicFile file_;
  std::string buffer_;
  bool closed_ = false;  // committed or failed
};

}  // namespace foliotally::count_cli
