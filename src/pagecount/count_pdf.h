// The library's answer for a file named by a path: only a regular file is opened, never
// blocking; damaged files get qpdf's second opinion from the repair helper; the whole count
// keeps to a deadline.
#pragma once

#include <cstdint>

#include "pagecount/verdict.h"

namespace foliotally::pdf {

// The verdict with its reason (CountResult::why), for a batch counter that names it.
// `path` is relative to the open folder `dirfd` (or AT_FDCWD); `time_limit_ms` 0 selects the
// default bound. Never throws.
CountResult CountPdfFileWithReason(int dirfd, const char* path, uint32_t time_limit_ms);

// The verdict with its reason for the file open as `fd` (see CountOpenPdfFile).
CountResult CountOpenPdfFileWithReason(int fd, uint32_t time_limit_ms);

// The same as the library's result code.
int32_t CountPdfFileAt(int dirfd, const char* path, uint32_t time_limit_ms);

// The library's result code for the file open as `fd`, which is read with pread only and
// left open.
int32_t CountOpenPdfFile(int fd, uint32_t time_limit_ms);

}  // namespace foliotally::pdf
