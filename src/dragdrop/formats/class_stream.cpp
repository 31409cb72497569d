#include "dragdrop/formats/class_stream.h"

#include <algorithm>
#include <cstring>

namespace foliotally::dragdrop {

size_t TBytesStream::Read(std::span<uint8_t> buffer) {
  size_t count = position_ < bytes_.size() ? std::min(buffer.size(), bytes_.size() - position_) : 0;
  if (count > 0) std::memcpy(buffer.data(), bytes_.data() + position_, count);
  position_ += count;
  return count;
}

size_t TBytesStream::Write(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return 0;
  if (position_ + bytes.size() > bytes_.size()) bytes_.resize(position_ + bytes.size());
  std::memcpy(bytes_.data() + position_, bytes.data(), bytes.size());
  position_ += bytes.size();
  return bytes.size();
}

int64_t TBytesStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == TSeekOrigin::soBeginning ? 0
                 : origin == TSeekOrigin::soCurrent ? static_cast<int64_t>(position_)
                                                    : Size();
  if (offset < -base) return -1;
  position_ = static_cast<size_t>(base + offset);
  return static_cast<int64_t>(position_);
}

bool TBytesStream::SetSize(int64_t size) {
  if (size < 0) return false;
  bytes_.resize(static_cast<size_t>(size));
  position_ = std::min(position_, bytes_.size());
  return true;
}

}  // namespace foliotally::dragdrop
