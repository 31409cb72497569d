// The library's whole decision over a PDF file held in memory, with qpdf's second opinion
// asked in this process: for tests and the fuzz target, which want qpdf's repair inside the
// process they watch.
#pragma once

#include <cstdint>
#include <string_view>

#include "pagecount/verdict.h"

namespace foliotally::pdf {

CountResult CountPdfBytesWithReason(std::string_view bytes, uint32_t time_limit_ms = 0);
// As the library's result code.
int32_t CountPdfBytes(std::string_view bytes);

}  // namespace foliotally::pdf
