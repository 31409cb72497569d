// Where the results go: standard output, or a file that is replaced only when complete.
#pragma once

#include <string>
#include <string_view>

#include "errors/errors.h"

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
// buffer; with `line_buffered` each Write goes out at once (for a terminal).
class DescriptorSink final : public OutputSink {
 public:
  DescriptorSink(int fd, std::string name, bool line_buffered)
      : fd_(fd), name_(std::move(name)), line_buffered_(line_buffered) {}
  void Write(std::string_view text) override;
  void Commit() override;

 private:
  void Flush();
  int fd_;
  std::string name_;
  bool line_buffered_;
  std::string buffer_;
};

// Writes `target` atomically: the text goes to a temporary file in the same folder, which
// is synced and renamed over the target by Commit. Until then the target is untouched; a
// sink destroyed without a successful Commit removes its temporary file.
class AtomicFileSink final : public OutputSink {
 public:
  // Creates the temporary file. Throws OutputError.
  explicit AtomicFileSink(std::string target);
  ~AtomicFileSink() override;
  AtomicFileSink(const AtomicFileSink&) = delete;
  AtomicFileSink& operator=(const AtomicFileSink&) = delete;

  void Write(std::string_view text) override;
  void Commit() override;
  // Removes the temporary file; the target stays as it was.
  void Discard();
  const std::string& temporary_path() const { return temporary_; }

 private:
  void Flush();
  [[noreturn]] void Fail(const std::string& what, int error);
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  std::string buffer_;
};

}  // namespace foliotally::count_cli
