#include "pagecount/count_bytes.h"

#include "pagecount/decide.h"
#include "pagecount/qpdf_fallback.h"

namespace foliotally::pdf {

CountResult CountPdfBytesWithReason(std::string_view bytes, uint32_t time_limit_ms) {
  try {
    MemoryByteSource source(bytes);
    return Decide(source, Deadline(time_limit_ms), [&] { return CountWithQpdf(bytes); });
  } catch (...) {
    return {Verdict::kDamaged, 0, "out of memory"};
  }
}

int32_t CountPdfBytes(std::string_view bytes) {
  return ToResultCode(CountPdfBytesWithReason(bytes));
}

}  // namespace foliotally::pdf
