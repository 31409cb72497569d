// Where the reader's bytes come from: a file read with pread, or a buffer in memory. The
// reader asks only for the ranges it needs, so a counting wrapper can show how little of a
// file a page count touches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace foliotally::pdf {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Copies up to out.size() bytes from `offset` into `out`; returns the number copied
  // (short only at the end of the data), or -1 on an I/O error.
  virtual int64_t ReadAt(uint64_t offset, std::span<char> out) = 0;
};

// Reads an open file descriptor it does not own. The size is fixed when it is made.
class FileByteSource final : public ByteSource {
 public:
  FileByteSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
  uint64_t Size() const override { return size_; }
  int64_t ReadAt(uint64_t offset, std::span<char> out) override;

 private:
  int fd_;
  uint64_t size_;
};

// Reads a buffer the caller keeps alive.
class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  int64_t ReadAt(uint64_t offset, std::span<char> out) override;

 private:
  std::string_view bytes_;
};

// Passes reads through to another source and keeps a tally of calls and bytes.
class CountingByteSource final : public ByteSource {
 public:
  explicit CountingByteSource(ByteSource& inner) : inner_(inner) {}
  uint64_t Size() const override { return inner_.Size(); }
  int64_t ReadAt(uint64_t offset, std::span<char> out) override;
  uint64_t bytes_read() const { return bytes_read_; }
  uint64_t reads() const { return reads_; }

 private:
  ByteSource& inner_;
  uint64_t bytes_read_ = 0;
  uint64_t reads_ = 0;
};

}  // namespace foliotally::pdf
