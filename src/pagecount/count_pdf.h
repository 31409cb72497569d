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

}  // namespace foliotally::pdf
