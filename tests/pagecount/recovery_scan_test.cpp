// The scan that reads a file whose cross-reference data is lost: which objects it takes,
// which catalog it settles on, and the page count that follows, for files without a table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pagecount/byte_source.h"
#include "pagecount/page_counter.h"
#include "pagecount/verdict.h"
#include "support/pdf_writer.h"

namespace foliotally::pdf {
namespace {

// "n 0 obj ... endobj" for each body, object i + 1 holding bodies[i].
std::string Objects(const std::vector<std::string>& bodies, int first = 1) {
  std::string out;
  for (size_t i = 0; i < bodies.size(); ++i)
    out += std::to_string(first + static_cast<int>(i)) + " 0 obj\n" + bodies[i] + "\nendobj\n";
  return out;
}

// A catalog (1), a flat page tree (2) and `pages` pages from object 3 on.
std::vector<std::string> TreeOf(int pages) {
  std::string kids;
  std::vector<std::string> bodies = {"<< /Type /Catalog /Pages 2 0 R >>", ""};
  for (int i = 0; i < pages; ++i) {
    kids += std::to_string(3 + i) + " 0 R ";
    bodies.push_back("<< /Type /Page /Parent 2 0 R >>");
  }
  bodies[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>";
  return bodies;
}

CountResult Scan(const std::string& file) {
  MemoryByteSource source(file);
  return ScanPageCount(source);
}

int32_t ScannedPages(const std::string& file) {
  const CountResult result = Scan(file);
  EXPECT_EQ(result.verdict, Verdict::kCounted) << (result.why ? result.why : "");
  return result.pages;
}

TEST(RecoveryScan, FilesWithoutAnyTableAreCountedFromTheirObjects) {
  const std::string body = Objects(TreeOf(3));
  EXPECT_EQ(ScannedPages("%PDF-1.4\n" + body), 3);
  EXPECT_EQ(ScannedPages("%PDF-1.4\n" + body + "trailer\n<< /Root 1 0 R >>\n%%EOF\n"), 3);
  // Line ends of every kind, and headers spread over lines.
  std::string cr = "%PDF-1.4\r" + body;
  for (char& c : cr)
    if (c == '\n') c = '\r';
  EXPECT_EQ(ScannedPages(cr), 3);
  EXPECT_EQ(ScannedPages("%PDF-1.4\n1\n0\nobj << /Type /Catalog /Pages 2 0 R >> endobj\n" +
                         Objects({TreeOf(2)[1], TreeOf(2)[2], TreeOf(2)[3]}, 2)),
            2);
}

TEST(RecoveryScan, TheLastObjectOfANumberWins) {
  // An update appends a new page tree under the same number, without a table.
  std::vector<std::string> updated = TreeOf(5);
  updated.erase(updated.begin());
  const std::string file = "%PDF-1.4\n" + Objects(TreeOf(2)) + Objects(updated, 2);
  EXPECT_EQ(ScannedPages(file), 5);
}

TEST(RecoveryScan, WordsThatOnlyEndInObjAreNoHeaders) {
  // "5 0 xobj", "5 0 objx", "x5 0 obj" and object 0 must not replace the page tree's root.
  const std::string decoys =
      "5 0 xobj << /Type /Pages /Count 9 >>\n2 0 objx\n<< /Type /Pages /Count 9 >>\n"
      "x2 0 obj\n<< /Type /Pages /Count 9 >>\n0 0 obj\n<< /Type /Catalog /Pages 9 0 R >>\n";
  EXPECT_EQ(ScannedPages("%PDF-1.4\n" + Objects(TreeOf(4)) + decoys), 4);
}

TEST(RecoveryScan, AHeaderAcrossTheScansChunkBoundaryIsFound) {
  // The scan reads the file in pieces of 1 MiB; the catalog's header straddles the first
  // boundary at every split of "1 0 obj". A stray page outside the tree makes a missed
  // catalog show: without it the file's page objects (3) would be counted.
  const std::string tree =
      Objects({TreeOf(2)[1], TreeOf(2)[2], TreeOf(2)[3]}, 2) + Objects({"<< /Type /Page >>"}, 10);
  for (size_t split = 0; split <= 7; ++split) {
    std::string file = "%PDF-1.4\n" + tree + "%";
    file += std::string((1u << 20) - split - file.size(), 'x');
    file += "\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n";
    EXPECT_EQ(ScannedPages(file), 2) << split;
  }
}

TEST(RecoveryScan, TheNewestTrailerWithAPageTreeNamesTheCatalog) {
  // Two catalogs; the newest trailer names one whose tree is gone, the older one a sound one.
  std::string file =
      "%PDF-1.4\n" + Objects(TreeOf(3)) +
      Objects({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Catalog /Pages 99 0 R >>"}, 10) +
      "trailer << /Root 10 0 R >>\ntrailer << /Root 11 0 R >>\n";
  EXPECT_EQ(ScannedPages(file), 3);
}

TEST(RecoveryScan, ALostRootIsNotReplacedByStrayPages) {
  // The trailer names a catalog that is not in the file: the stray pages are not counted,
  // and a damaged file in which no page is found is not countable, never 0 pages.
  std::string file = "%PDF-1.4\n" + Objects({"<< /Type /Page >>", "<< /Type /Page >>"}, 3) +
                     "trailer << /Root 1 0 R >>\n";
  EXPECT_EQ(Scan(file).verdict, Verdict::kDamaged);
  // With no trailer and no catalog, the page objects are what the file holds.
  EXPECT_EQ(ScannedPages("%PDF-1.4\n" + Objects({"<< /Type /Page >>", "<< /Type /Page >>"}, 3)), 2);
}

TEST(RecoveryScan, ObjectStreamsAreReadWhenTheTableIsLost) {
  test::PdfOptions options;
  options.pages = 7;
  options.xref = test::PdfOptions::Xref::kStream;
  options.object_streams = true;
  std::string file = test::MakePdfWith(options);
  // Without the last line's offset the file can only be read by the scan.
  const size_t startxref = file.rfind("startxref");
  ASSERT_NE(startxref, std::string::npos);
  file.resize(startxref);
  EXPECT_EQ(ScannedPages(file), 7);
  MemoryByteSource source(file);
  const CountResult read = ReadPageCount(source);
  if (read.verdict == Verdict::kCounted) {
    EXPECT_EQ(read.pages, 7);
  }
}

TEST(RecoveryScan, BytesWithoutPdfSyntaxAreNoPdf) {
  EXPECT_EQ(Scan(std::string(5000, 'a')).verdict, Verdict::kNotPdf);
  EXPECT_EQ(Scan("").verdict, Verdict::kNotPdf);
  // Stray page objects in a file that is not PDF by its header say nothing.
  EXPECT_NE(Scan(Objects({"<< /Type /Page >>"}, 3)).pages, 1);
}

}  // namespace
}  // namespace foliotally::pdf
