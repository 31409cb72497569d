// Writes small, valid PDF files for tests: a catalog, a flat page tree and N empty pages,
// with a classic cross-reference table whose offsets are exact.
#pragma once

#include <string>
#include <vector>

namespace foliotally::test {

std::string MakePdf(int pages);

}  // namespace foliotally::test

namespace foliotally::test {

// A richer writer for the page counter's tests: every way a PDF file locates its objects,
// and a few ways of lying about them.
struct PdfOptions {
  enum class Xref { kTable, kStream, kHybrid };
  int pages = 1;
  Xref xref = Xref::kTable;
  // Page-tree nodes, pages and the catalog go into one compressed object stream (needs a
  // cross-reference stream or a hybrid file).
  bool object_streams = false;
  // Predictor for a cross-reference stream (12 = PNG "Up", 2 = TIFF); 0 for none.
  int predictor = 12;
  // Kids per page-tree node; 0 for one flat node holding every page.
  int fanout = 0;
  // The root's /Count as a reference to an integer object.
  bool indirect_count = false;
  // Written instead of the root's true /Count when not empty (e.g. "-3", "2.5", "99999").
  std::string root_count;
  // Pages added by an incremental update (a new root, a new section with /Prev).
  int update_pages = 0;
  // Bytes before "%PDF-"; with offsets_from_header the offsets are counted from the header.
  std::string junk;
  bool offsets_from_header = false;
  // Written into the trailer as-is, e.g. "/Encrypt 99 0 R".
  std::string trailer_extra;
};

std::string MakePdfWith(const PdfOptions& options);

// Deflates `data` with zlib (for hand-made streams in tests).
std::string Deflate(const std::string& data);

}  // namespace foliotally::test

namespace foliotally::test {

// A file with exactly these objects (object i + 1 is bodies[i]) and an exact classic table;
// the trailer names /Root 1 0 R and adds `trailer_extra`.
std::string MakePdfFromObjects(const std::vector<std::string>& bodies,
                               const std::string& trailer_extra = "");

}  // namespace foliotally::test
