// Counting the pages of a PDF file: the page-tree root's /Count when it can be true, else a
// walk of the tree. ReadPageCount is this library's own reader alone; CountPdfBytes and
// CountPdfFile add the qpdf fallback for files the reader cannot make sense of, and turn
// the outcome into the library's result code.
#pragma once

#include <cstdint>
#include <string_view>

#include "pagecount/byte_source.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

// Never throws.
CountResult ReadPageCount(ByteSource& source);
// The reader's second way in, for files whose cross-reference data is broken: scans the
// whole file for objects (files up to kScanMaxBytes). A file with PDF objects but no page
// tree holds no pages; one with no PDF syntax at all is not a PDF. Never throws.
CountResult ScanPageCount(ByteSource& source);
inline constexpr uint64_t kScanMaxBytes = 64u << 20;

// The library's answer for a PDF file held in memory, and for a file named by a path.
int32_t CountPdfBytes(std::string_view bytes);
int32_t CountPdfFile(const char* path);

}  // namespace foliotally::pdf
