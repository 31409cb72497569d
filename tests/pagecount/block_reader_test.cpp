// Ranges read through the block cache and through the whole-file buffer of a small file.
#include "pagecount/block_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "pagecount/byte_source.h"
#include "pagecount/page_counter.h"
#include "pagecount/verdict.h"
#include "support/pdf_writer.h"

namespace foliotally::pdf {
namespace {

// Bytes that differ from their neighbours, so a range read from the wrong place shows.
std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
  return s;
}

class FailingSource final : public ByteSource {
 public:
  explicit FailingSource(uint64_t size) : size_(size) {}
  uint64_t Size() const override { return size_; }
  int64_t ReadAt(uint64_t, std::span<char>) override { return -1; }

 private:
  uint64_t size_;
};

void ExpectRanges(const std::string& data) {
  MemoryByteSource memory(data);
  BlockReader reader(memory);
  std::string scratch;
  const size_t n = data.size();
  struct Range {
    uint64_t offset;
    size_t len;
  };
  // Inside, across 4 KiB block edges, longer than the cache takes, clipped at the end, past it.
  const std::array<Range, 9> ranges = {{{0, 1032},
                                        {4090, 20},
                                        {8191, 4098},
                                        {100, 20000},
                                        {n - 10, 64},
                                        {n - 1, 1},
                                        {n, 10},
                                        {n + 5000, 10},
                                        {0, 0}}};
  for (const Range& r : ranges) {
    const std::string want = r.offset >= n ? "" : data.substr(r.offset, r.len);
    EXPECT_EQ(reader.Read(r.offset, r.len, scratch), want)
        << "offset " << r.offset << " length " << r.len;
    // The same bytes whether or not they are copied out of the block they lie in; the last
    // block of the data is a short one.
    EXPECT_EQ(reader.ReadInPlace(r.offset, r.len, scratch), want)
        << "in place, offset " << r.offset << " length " << r.len;
    EXPECT_EQ(reader.ReadInPlace(n - n % 4096 + r.len % 4096, r.offset % 64, scratch),
              data.substr(std::min(n, n - n % 4096 + r.len % 4096), r.offset % 64))
        << "in place near the end, length " << r.offset % 64;
  }
}

TEST(BlockReader, SmallDataGivesTheRequestedRanges) { ExpectRanges(Pattern(9000)); }

TEST(BlockReader, LargeDataGivesTheRequestedRanges) { ExpectRanges(Pattern(100000)); }

TEST(BlockReader, SmallDataIsReadOnceWhole) {
  const std::string data = Pattern(3000);
  MemoryByteSource memory(data);
  CountingByteSource counting(memory);
  BlockReader reader(counting);
  std::string a, b;
  const std::string_view head = reader.Read(0, 1032, a);
  const std::string_view tail = reader.Read(2000, 4096, b);
  reader.Read(500, 20, a);  // reusing the scratch string must not disturb earlier views
  EXPECT_EQ(head, data.substr(0, 1032));
  EXPECT_EQ(tail, data.substr(2000));
  EXPECT_EQ(counting.reads(), 1u);
  EXPECT_EQ(counting.bytes_read(), data.size());
}

TEST(BlockReader, ReadErrorEndsTheCountAsUnreadable) {
  for (uint64_t size : {uint64_t{3000}, uint64_t{1} << 20}) {
    FailingSource failing(size);
    BlockReader reader(failing);
    std::string scratch;
    try {
      reader.Read(10, 100, scratch);
      ADD_FAILURE() << "no failure for size " << size;
    } catch (const ReadFailure& f) {
      EXPECT_EQ(f.verdict, Verdict::kUnreadable);
    }
  }
}

TEST(PageCount, SmallFileTakesOneRead) {
  const std::string pdf = test::MakePdfWith({});
  ASSERT_LT(pdf.size(), 16u * 1024);
  MemoryByteSource memory(pdf);
  CountingByteSource counting(memory);
  const CountResult r = ReadPageCount(counting);
  EXPECT_EQ(r.verdict, Verdict::kCounted);
  EXPECT_EQ(counting.reads(), 1u);
}

}  // namespace
}  // namespace foliotally::pdf
