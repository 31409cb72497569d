// This library's own reader: the page-tree root's /Count when it can be true, else a walk
// of the tree; and, for broken files, a scan of the whole file. No qpdf in here.
#pragma once

#include <cstdint>

#include "pagecount/byte_source.h"
#include "pagecount/deadline.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

// Never throws.
CountResult ReadPageCount(ByteSource& source, const Deadline& deadline = Deadline());
// The reader's second way in, for files whose cross-reference data is broken: scans the
// whole file for objects (files up to kScanMaxBytes). A file with PDF objects but no page
// tree holds no pages; one with no PDF syntax at all is not a PDF. Never throws.
CountResult ScanPageCount(ByteSource& source, const Deadline& deadline = Deadline());
inline constexpr uint64_t kScanMaxBytes = 64u << 20;

}  // namespace foliotally::pdf
