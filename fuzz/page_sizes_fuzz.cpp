// Feeds arbitrary bytes to the page-size path: the page walk (sizes only, and whole pages
// with their resources, as a reader of page contents walks them), the geometry of each page
// and the paper names. Each must answer without a crash, a hang or unbounded memory, and the
// sizes must always add up to the count.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pagecount/document.h"
#include "pagecount/page_counter.h"
#include "pagecount/page_sizes.h"
#include "pagecount/page_walk.h"
#include "pagecount/paper_names.h"

namespace {

using namespace foliotally::pdf;

constexpr uint32_t kDeadlineMs = 2000;

void WalkWholePages(ByteSource& source) {
  try {
    const Deadline deadline(kDeadlineMs);
    Document doc(source, deadline);
    doc.Open();
    PageWalk walk(doc, PageWalkOptions{.whole_page = true, .resources = true});
    WalkedPage page;
    while (walk.Next(page))
      if (page.readable && !page.page.IsDict()) __builtin_trap();
  } catch (const ReadFailure&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  MemoryByteSource source(bytes);
  const CountResult read = ReadPageCount(source, Deadline(kDeadlineMs));
  // One box an input (its length decides which): every measure keeps to its deadline, and
  // one input's measures together stay within the fuzzer's time limit even instrumented.
  const SizeBox box = size % 2 ? SizeBox::kTrim : SizeBox::kCrop;
  const PageSizes sizes = MeasurePageSizes(source, Deadline(kDeadlineMs), box, [] {
    return CountResult{Verdict::kDamaged, 0, "no qpdf here"};
  });
  // The count is the counter's: what its reader found on its own, it finds here too.
  if (read.verdict == Verdict::kCounted && sizes.count.verdict != Verdict::kTimedOut &&
      (sizes.count.verdict != Verdict::kCounted || sizes.count.pages != read.pages))
    __builtin_trap();
  if (sizes.count.verdict == Verdict::kCounted) {
    if (sizes.sizes.pages() != sizes.count.pages || sizes.sizes.unknown() < 0) __builtin_trap();
    for (const SizeGroup& g : sizes.sizes.groups()) {
      if (!(g.width_pt > 0 && g.height_pt > 0) || !std::isfinite(g.width_pt) ||
          !std::isfinite(g.height_pt) || g.pages <= 0)
        __builtin_trap();
      if (NamePaper(g.width_pt, g.height_pt).paper.empty()) __builtin_trap();
    }
  }
  WalkWholePages(source);
  return 0;
}
