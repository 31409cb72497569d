// The library's decision for one file: the reader first, then qpdf's second opinion and the
// reader's scan for files the reader cannot make sense of, all within one deadline.
#pragma once

#include <string_view>

#include "pagecount/byte_source.h"
#include "pagecount/deadline.h"
#include "pagecount/linearization.h"
#include "pagecount/page_counter.h"
#include "pagecount/recovery_reason.h"
#include "pagecount/repair_process.h"

namespace foliotally::pdf {

// The reader, then qpdf, then the reader's scan. Whatever the reader cannot read as written
// is a recovered count when pages are found in it, and not countable when none are.
template <typename Qpdf>
CountResult DecideWithoutLinearization(ByteSource& source, const Deadline& deadline, Qpdf&& qpdf) {
  const CountResult own = ReadPageCount(source, deadline);
  if (own.verdict == Verdict::kCounted || own.verdict == Verdict::kUnreadable ||
      own.verdict == Verdict::kTimedOut)
    return own;
  auto found = [](const CountResult& r) {
    return r.verdict == Verdict::kCounted || r.verdict == Verdict::kEncrypted ||
           r.verdict == Verdict::kTimedOut;
  };
  if (own.verdict == Verdict::kEncrypted) {
    // The reader found the file whole but cannot decrypt what it needs: qpdf's count of
    // the same tree, opened with the empty password, is as sound as the reader's would be.
    // A count qpdf had to repair the file for is recovered like any other.
    const CountResult second = qpdf();
    if (second.verdict == Verdict::kCounted && second.pages > 0)
      return second.recovered ? RecoveredFrom(source, second, "repaired by qpdf") : second;
    return second.verdict == Verdict::kTimedOut ? second : own;
  }
  // Without a header the file is no PDF by the book: only what the scan finds in it, if
  // anything, is counted; qpdf's more inventive repairs are kept for files that are PDF.
  if (own.verdict == Verdict::kNotPdf) {
    const CountResult scan = ScanPageCount(source, deadline);
    return found(scan) ? scan : own;
  }
  const CountResult second = qpdf();
  if (second.verdict == Verdict::kTimedOut) return second;
  // qpdf finding no page in a file the reader could not read is no count: the scan may.
  if (second.verdict == Verdict::kCounted && second.pages > 0)
    return RecoveredFrom(source, second, "repaired by qpdf");
  const CountResult scan = ScanPageCount(source, deadline);
  if (found(scan)) return scan;
  if (second.verdict == Verdict::kEncrypted) return second;
  return scan.verdict == Verdict::kDamaged && own.verdict == Verdict::kDamaged ? scan : own;
}

// `qpdf()` gives qpdf's count of the same bytes (in this process or in a helper). A file with
// no PDF syntax in it at all is not handed to qpdf. Where no page tree is readable at all,
// an unchanged linearized file's own statement of its page count is the answer. Never throws.
template <typename Qpdf>
CountResult Decide(ByteSource& source, const Deadline& deadline, Qpdf&& qpdf) {
  bool helper_missing = false;
  const auto asked = [&] {
    const CountResult second = qpdf();
    helper_missing =
        second.why != nullptr && std::string_view(second.why) == kRepairHelperCouldNotRun;
    return second;
  };
  CountResult result = DecideWithoutLinearization(source, deadline, asked);
  if (result.verdict == Verdict::kEncrypted || result.verdict == Verdict::kDamaged) {
    if (const auto pages = LinearizedPageCount(source); pages && *pages > 0)
      result =
          Recovered({Verdict::kCounted, *pages}, "page count from the linearization parameters");
  }
  result.repair_helper_missing = helper_missing;
  return result;
}

}  // namespace foliotally::pdf
