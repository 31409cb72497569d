// Reads ranges of a byte source through a few cached 4 KiB blocks. A count touches the same
// neighbourhoods more than once (the tail and the trailer, a table entry and its neighbours,
// the catalog and the page-tree root near the start), so a handful of blocks kept for the
// length of one count saves most reads. Nothing outlives the count.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "pagecount/byte_source.h"

namespace foliotally::pdf {

class BlockReader {
 public:
  explicit BlockReader(ByteSource& source) : source_(source), size_(source.Size()) {}

  uint64_t size() const { return size_; }
  // The bytes at [offset, offset + len) clipped to the end of the data. A small file is held
  // whole, and the view points into it without a copy; otherwise the bytes are copied into
  // `scratch` and the view points there, valid until `scratch` is next used. An I/O error
  // ends the count as unreadable.
  std::string_view Read(uint64_t offset, size_t len, std::string& scratch);
  // Read(), except that bytes lying within one cached block are not copied: the view then
  // points into the block, valid only until the reader is next used. For a caller that
  // parses the bytes before it reads anything else.
  std::string_view ReadInPlace(uint64_t offset, size_t len, std::string& scratch);

 private:
  static constexpr size_t kBlock = 4096;
  static constexpr size_t kBlocks = 8;
  // Reads larger than this bypass the cache.
  static constexpr size_t kDirect = 4 * kBlock;
  // A file this small is read whole, with one call: cheaper than two or three block reads.
  static constexpr uint64_t kSmallFile = 16 * 1024;

  struct Block {
    uint64_t index = UINT64_MAX;
    uint64_t last_use = 0;
    size_t len = 0;
    std::array<char, kBlock> bytes;
  };
  const Block& Fetch(uint64_t index);
  void ReadDirect(uint64_t offset, size_t len, std::string& out);

  ByteSource& source_;
  uint64_t size_;
  uint64_t clock_ = 0;
  std::array<Block, kBlocks> blocks_;
  // A small file's bytes, read on first use; uninitialised storage, as the read fills it.
  std::unique_ptr<char[]> whole_;
  size_t whole_len_ = 0;
};

}  // namespace foliotally::pdf
