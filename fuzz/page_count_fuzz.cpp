// Feeds arbitrary bytes to the page counter's own reader, both ways in: through the
// cross-reference data and by scanning. Either must answer, without a crash, a hang or
// unbounded memory. (qpdf, the fallback, is fuzzed by its own project.)
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pagecount/page_counter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  foliotally::pdf::MemoryByteSource source(bytes);
  const auto read = foliotally::pdf::ReadPageCount(source);
  const auto scan = foliotally::pdf::ScanPageCount(source);
  if (read.verdict == foliotally::pdf::Verdict::kCounted && read.pages < 0) __builtin_trap();
  if (scan.verdict == foliotally::pdf::Verdict::kCounted && scan.pages < 0) __builtin_trap();
  return 0;
}
