// The reader on its own (no qpdf) counts every way a file can locate its objects.
#include <gtest/gtest.h>

#include <string>

#include "pagecount/byte_source.h"
#include "pagecount/page_counter.h"
#include "support/pdf_writer.h"

namespace foliotally::pdf {
namespace {

using test::MakePdfWith;
using test::PdfOptions;
using Xref = PdfOptions::Xref;

CountResult Read(const std::string& bytes) {
  MemoryByteSource source(bytes);
  return ReadPageCount(source);
}

void ExpectCount(const std::string& bytes, int32_t pages) {
  const CountResult r = Read(bytes);
  EXPECT_EQ(r.verdict, Verdict::kCounted);
  EXPECT_EQ(r.pages, pages);
}

struct Layout {
  const char* name;
  Xref xref;
  bool object_streams;
  int predictor;
};

class Layouts : public ::testing::TestWithParam<Layout> {
 protected:
  PdfOptions Options(int pages) const {
    PdfOptions o;
    o.pages = pages;
    o.xref = GetParam().xref;
    o.object_streams = GetParam().object_streams;
    o.predictor = GetParam().predictor;
    return o;
  }
};

TEST_P(Layouts, FlatTree) {
  for (int pages : {0, 1, 2, 37}) ExpectCount(MakePdfWith(Options(pages)), pages);
}

TEST_P(Layouts, NestedTreeWithIndirectCount) {
  PdfOptions o = Options(100);
  o.fanout = 3;
  o.indirect_count = true;
  ExpectCount(MakePdfWith(o), 100);
}

TEST_P(Layouts, IncrementalUpdateAddsPages) {
  PdfOptions o = Options(5);
  o.update_pages = 4;
  ExpectCount(MakePdfWith(o), 9);
}

TEST_P(Layouts, ImpossibleCountsAreReplacedByAWalk) {
  // Negative, not an integer, a reference to nothing, more pages than the file has objects.
  for (const char* lie : {"-4", "2.5", "/Nine", "999 0 R", "99999"}) {
    PdfOptions o = Options(7);
    o.fanout = 2;
    o.root_count = lie;
    ExpectCount(MakePdfWith(o), 7);
  }
}

TEST_P(Layouts, JunkBeforeTheHeader) {
  for (bool from_header : {false, true}) {
    PdfOptions o = Options(3);
    o.junk = std::string(700, 'j') + "\n";
    o.offsets_from_header = from_header;
    ExpectCount(MakePdfWith(o), 3);
  }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, Layouts,
                         ::testing::Values(Layout{"Table", Xref::kTable, false, 0},
                                           Layout{"Stream", Xref::kStream, false, 0},
                                           Layout{"StreamPredictor", Xref::kStream, false, 12},
                                           Layout{"StreamObjStm", Xref::kStream, true, 12},
                                           Layout{"StreamObjStmPaeth", Xref::kStream, true, 14},
                                           Layout{"StreamObjStmTiff", Xref::kStream, true, 2},
                                           Layout{"Hybrid", Xref::kHybrid, false, 12},
                                           Layout{"HybridObjStm", Xref::kHybrid, true, 12}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Structures, TableEntriesOfNineteenBytes) {
  // Some writers end each table entry with a single line feed.
  std::string pdf = test::MakePdf(4);
  std::string fixed;
  size_t xref = pdf.find("xref\n");
  fixed = pdf.substr(0, xref);
  std::string table = pdf.substr(xref, pdf.find("trailer") - xref);
  std::string::size_type at;
  while ((at = table.find(" \n")) != std::string::npos) table.erase(at, 1);
  fixed += table + pdf.substr(pdf.find("trailer"));
  const size_t sx = fixed.find("startxref\n") + 10;
  fixed = fixed.substr(0, sx) + std::to_string(xref) + "\n%%EOF\n";
  ExpectCount(fixed, 4);
}

TEST(Structures, CountIsReadWithoutTheKidsArray) {
  // A /Count in front of a long /Kids array is found without reading the array.
  test::PdfOptions o;
  o.pages = 20000;
  const std::string pdf = MakePdfWith(o);
  MemoryByteSource memory(pdf);
  CountingByteSource counting(memory);
  const CountResult r = ReadPageCount(counting);
  EXPECT_EQ(r.pages, 20000);
  EXPECT_LT(counting.bytes_read(), 64u * 1024);
}

TEST(Structures, ObjectStreamOfAnEncryptedFileIsNotGuessedAt) {
  PdfOptions o;
  o.pages = 3;
  o.xref = Xref::kStream;
  o.object_streams = true;
  o.trailer_extra = "/Encrypt << /Filter /Standard /V 2 /R 3 >>";
  EXPECT_EQ(Read(MakePdfWith(o)).verdict, Verdict::kEncrypted);
  // Version 4 with identity stream filters leaves streams in the clear.
  o.trailer_extra = "/Encrypt << /Filter /Standard /V 4 /R 4 /StmF /Identity >>";
  ExpectCount(MakePdfWith(o), 3);
}

TEST(Structures, EncryptedFileWithPlainPageTreeIsCounted) {
  PdfOptions o;
  o.pages = 6;
  o.trailer_extra = "/Encrypt << /Filter /Standard /V 2 /R 3 >>";
  ExpectCount(MakePdfWith(o), 6);
}

}  // namespace
}  // namespace foliotally::pdf
