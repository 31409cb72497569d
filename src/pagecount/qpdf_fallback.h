// The second opinion for files this library's reader cannot make sense of: qpdf rebuilds
// broken cross-reference tables and opens files encrypted with an empty user password.
#pragma once

#include <cstdint>
#include <string_view>

#include "pagecount/verdict.h"

namespace foliotally::pdf {

// Files longer than this are not handed to qpdf: its recovery scans the whole file, and a
// count must come back quickly.
inline constexpr uint64_t kQpdfMaxBytes = 64u << 20;

// `fd` is an open regular file (not taken over), read with pread only: its offset stays where
// it was. Never throws.
CountResult CountWithQpdf(int fd, uint64_t size);
CountResult CountWithQpdf(std::string_view bytes);

}  // namespace foliotally::pdf
