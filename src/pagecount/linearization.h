// A linearized file states its page count in its linearization parameters (/N), the first
// object of the file, which is never encrypted. /L, the file's length when it was written,
// equal to the length now says the file has not been changed since (an update appends), so
// /N is still true even when the page tree itself cannot be read.
#pragma once

#include <cstdint>
#include <optional>

#include "pagecount/byte_source.h"

namespace foliotally::pdf {

// /N of an unchanged linearized file; nothing for any other file. Never throws.
std::optional<int32_t> LinearizedPageCount(ByteSource& source);

}  // namespace foliotally::pdf
