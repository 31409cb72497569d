// Feeds arbitrary bytes to the page counter: its own reader both ways in (through the
// cross-reference data and by scanning), then the library's whole decision, qpdf's repair
// included. Each must answer, without a crash, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pagecount/count_bytes.h"
#include "pagecount/page_counter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using foliotally::pdf::Verdict;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  foliotally::pdf::MemoryByteSource source(bytes);
  const auto read = foliotally::pdf::ReadPageCount(source);
  const auto scan = foliotally::pdf::ScanPageCount(source);
  const auto all = foliotally::pdf::CountPdfBytesWithReason(bytes);
  for (const auto& r : {read, scan, all}) {
    if (r.verdict == Verdict::kCounted && r.pages < 0) __builtin_trap();
    // A damaged file in which no page is found is not countable, never 0 pages.
    if (r.verdict == Verdict::kCounted && r.recovered && r.pages == 0) __builtin_trap();
  }
  // The scan only ever reconstructs: nothing it counts is sound.
  if (scan.verdict == Verdict::kCounted && !scan.recovered) __builtin_trap();
  // A count the reader found on its own is the library's answer.
  if (read.verdict == Verdict::kCounted &&
      (all.verdict != Verdict::kCounted || all.pages != read.pages))
    __builtin_trap();
  return 0;
}
