// Ranges read through the block cache and the whole-file buffer of a small file, and the
// parser's keep-only dictionary read the trailer relies on.
#include "pagecount/block_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "pagecount/byte_source.h"
#include "pagecount/page_counter.h"
#include "pagecount/pdf_parser.h"
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
    const std::string_view got = reader.Read(r.offset, r.len, scratch);
    const std::string want = r.offset >= n ? "" : data.substr(r.offset, r.len);
    EXPECT_EQ(got, want) << "offset " << r.offset << " length " << r.len;
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

TEST(Parser, DictKeepingKeepsOnlyTheNamedKeys) {
  constexpr std::array<std::string_view, 2> keep = {"Root", "Size"};
  const std::string_view text =
      "<< /Size 7 /ID [<00ff> <ab12>] /Info << /A (x) >> /Root 1 0 R /Size 9 >>";
  Object dict;
  Parser p(text, true);
  ASSERT_EQ(p.ParseDictKeeping(dict, keep), ParseStatus::kOk);
  EXPECT_EQ(p.pos(), text.size());  // read to its end, though both keys came early
  ASSERT_EQ(dict.entries.size(), 3u);
  EXPECT_EQ(dict.Find("Size")->value, 7);
  EXPECT_TRUE(dict.Find("Root")->IsRef());
  EXPECT_EQ(dict.Find("ID"), nullptr);
  EXPECT_EQ(dict.Find("Info"), nullptr);
}

TEST(Parser, DictKeepingWantsTheWholeDictionary) {
  constexpr std::array<std::string_view, 1> keep = {"Root"};
  const std::string_view cut = "<< /Root 1 0 R /ID [<00ff>";
  Object dict;
  EXPECT_EQ(Parser(cut, false).ParseDictKeeping(dict, keep), ParseStatus::kNeedMore);
  dict = Object{};
  EXPECT_EQ(Parser(cut, true).ParseDictKeeping(dict, keep), ParseStatus::kBad);
  dict = Object{};
  EXPECT_EQ(Parser("[1 2]", true).ParseDictKeeping(dict, keep), ParseStatus::kBad);
}

}  // namespace
}  // namespace foliotally::pdf
