// Feeds arbitrary bytes to the page counter: its own reader both ways in (through the
// cross-reference data and by scanning), then the library's whole decision, qpdf's repair
// included (the very count the repair helper makes of the bytes it reads, done here in
// this process), and the reading of the helper's answer line. Each must answer, without a
// crash, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pagecount/count_bytes.h"
#include "pagecount/page_counter.h"
#include "pagecount/repair_process.h"

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
  // Whatever the helper's output holds, its reading is a verdict and never a negative count;
  // what the helper writes reads back the same.
  const auto answer = foliotally::pdf::ParseHelperAnswer(bytes);
  if (answer.verdict == Verdict::kCounted && answer.pages < 0) __builtin_trap();
  const auto back = foliotally::pdf::ParseHelperAnswer(foliotally::pdf::FormatHelperAnswer(all));
  if (back.verdict != all.verdict || (all.verdict == Verdict::kCounted && back.pages != all.pages))
    __builtin_trap();
  return 0;
}
