// The library's answer for a file: the reader first, then qpdf's second opinion and the
// reader's scan for files the reader cannot make sense of, turned into the result code.
#pragma once

#include <cstdint>
#include <string_view>

namespace foliotally::pdf {

// A PDF file held in memory.
int32_t CountPdfBytes(std::string_view bytes);
// A file named by a path: only a regular file is opened, and never blocks. Never throws.
int32_t CountPdfFile(const char* path);
// The same, with `path` relative to the open folder `dirfd` (or AT_FDCWD), within
// `time_limit_ms` (0: the default bound).
int32_t CountPdfFileAt(int dirfd, const char* path, uint32_t time_limit_ms);

}  // namespace foliotally::pdf
