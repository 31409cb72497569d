#include "count_cli/output_sink.h"

#include <cstring>

namespace foliotally::count_cli {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

void DescriptorSink::Write(std::string_view text) {
  buffer_.append(text);
  if (line_buffered_ || buffer_.size() >= kBufferSize) Flush();
}

void DescriptorSink::Commit() { Flush(); }

void DescriptorSink::Flush() {
  const int error = WriteAll(fd_, buffer_, stop_);
  buffer_.clear();
  if (error != 0) throw OutputError("cannot write to " + name_ + ": " + std::strerror(error));
}

AtomicFileSink::AtomicFileSink(FileWriting& io, std::string target, const std::atomic<bool>* stop)
    : target_(std::move(target)),
      stop_(stop),
      file_(io, target_, AtomicFile::Streams::kWriteDirectly) {
  if (const int error = file_.Open(); error != 0) Fail("write", error);
}

void AtomicFileSink::Fail(const std::string& what, int error) {
  closed_ = true;
  file_.Discard();
  throw OutputError("cannot " + what + " " + target_ + ": " + std::strerror(error));
}

void AtomicFileSink::Write(std::string_view text) {
  if (closed_) throw OutputError("cannot write " + target_ + ": the file is closed");
  buffer_.append(text);
  if (buffer_.size() >= kBufferSize) Flush();
}

void AtomicFileSink::Flush() {
  const int error = file_.Write(buffer_, stop_);
  buffer_.clear();
  if (error != 0) Fail("write", error);
}

void AtomicFileSink::Commit() {
  if (closed_) throw OutputError("cannot write " + target_ + ": the file is closed");
  Flush();
  if (const int error = file_.Commit(); error != 0)
    Fail(file_.replace_failed() ? "replace" : "write", error);
  closed_ = true;  // committed: nothing more goes in
}

}  // namespace foliotally::count_cli
