#include "pagecount/byte_source.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace foliotally::pdf {

int64_t FileByteSource::ReadAt(uint64_t offset, std::span<char> out) {
  if (offset >= size_) return 0;
  const size_t want = static_cast<size_t>(std::min<uint64_t>(out.size(), size_ - offset));
  size_t done = 0;
  while (done < want) {
    const ssize_t n =
        ::pread(fd_, out.data() + done, want - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;  // the file shrank under us: report what we have
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

int64_t MemoryByteSource::ReadAt(uint64_t offset, std::span<char> out) {
  if (offset >= bytes_.size()) return 0;
  const size_t n = std::min<size_t>(out.size(), bytes_.size() - static_cast<size_t>(offset));
  std::memcpy(out.data(), bytes_.data() + offset, n);
  return static_cast<int64_t>(n);
}

int64_t CountingByteSource::ReadAt(uint64_t offset, std::span<char> out) {
  const int64_t n = inner_.ReadAt(offset, out);
  ++reads_;
  if (n > 0) bytes_read_ += static_cast<uint64_t>(n);
  return n;
}

}  // namespace foliotally::pdf
