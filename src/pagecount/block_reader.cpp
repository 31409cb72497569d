#include "pagecount/block_reader.h"

#include <algorithm>

#include "pagecount/verdict.h"

namespace foliotally::pdf {

std::string_view BlockReader::Read(uint64_t offset, size_t len, std::string& scratch) {
  if (offset >= size_) return {};
  len = static_cast<size_t>(std::min<uint64_t>(len, size_ - offset));
  if (size_ <= kSmallFile) {
    if (!whole_) {
      whole_ = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(size_));
      const int64_t n = source_.ReadAt(0, {whole_.get(), static_cast<size_t>(size_)});
      if (n < 0) Fail(Verdict::kUnreadable, "read error");
      whole_len_ = static_cast<size_t>(n);
    }
    if (offset >= whole_len_) return {};
    return {whole_.get() + offset, std::min(len, whole_len_ - static_cast<size_t>(offset))};
  }
  scratch.clear();
  if (len > kDirect) {
    ReadDirect(offset, len, scratch);
    return scratch;
  }
  std::string& out = scratch;
  out.reserve(len);
  while (len > 0) {
    const Block& block = Fetch(offset / kBlock);
    const size_t in_block = static_cast<size_t>(offset % kBlock);
    if (in_block >= block.len) break;  // the file ended early
    const size_t n = std::min(len, block.len - in_block);
    out.append(block.bytes.data() + in_block, n);
    offset += n;
    len -= n;
  }
  return out;
}

std::string_view BlockReader::ReadInPlace(uint64_t offset, size_t len, std::string& scratch) {
  if (size_ > kSmallFile && offset < size_) {
    len = static_cast<size_t>(std::min<uint64_t>(len, size_ - offset));
    const size_t in_block = static_cast<size_t>(offset % kBlock);
    if (len > 0 && in_block + len <= kBlock) {
      const Block& block = Fetch(offset / kBlock);
      if (in_block + len <= block.len) return {block.bytes.data() + in_block, len};
    }
  }
  return Read(offset, len, scratch);
}

const BlockReader::Block& BlockReader::Fetch(uint64_t index) {
  ++clock_;
  Block* victim = &blocks_[0];
  for (Block& b : blocks_) {
    if (b.index == index) {
      b.last_use = clock_;
      return b;
    }
    if (b.last_use < victim->last_use) victim = &b;
  }
  const int64_t n = source_.ReadAt(index * kBlock, victim->bytes);
  if (n < 0) Fail(Verdict::kUnreadable, "read error");
  victim->index = index;
  victim->len = static_cast<size_t>(n);
  victim->last_use = clock_;
  return *victim;
}

void BlockReader::ReadDirect(uint64_t offset, size_t len, std::string& out) {
  out.resize(len);
  const int64_t n = source_.ReadAt(offset, out);
  if (n < 0) Fail(Verdict::kUnreadable, "read error");
  out.resize(static_cast<size_t>(n));
}

}  // namespace foliotally::pdf
