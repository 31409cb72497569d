// Streams of the program's own, as opposed to the platform stream interface (IStream):
// an abstract byte stream and one kept in memory.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace foliotally::dragdrop {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;
  // Bytes read or written; fewer than asked at the end.
  virtual size_t Read(std::span<uint8_t> buffer) = 0;
  virtual size_t Write(std::span<const uint8_t> bytes) = 0;
  // The new position; an offset before the start is refused with -1.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size() const = 0;
  virtual bool SetSize(int64_t size) = 0;
  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
};

// A stream over bytes it owns; writing past the end extends it.
class TBytesStream : public TStream {
 public:
  TBytesStream() = default;
  explicit TBytesStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  size_t Read(std::span<uint8_t> buffer) override;
  size_t Write(std::span<const uint8_t> bytes) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  bool SetSize(int64_t size) override;
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace foliotally::dragdrop
