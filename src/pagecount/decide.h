// The library's decision for one file: the reader first, then qpdf's second opinion and the
// reader's scan for files the reader cannot make sense of, all within one deadline.
#pragma once

#include "pagecount/byte_source.h"
#include "pagecount/deadline.h"
#include "pagecount/linearization.h"
#include "pagecount/page_counter.h"

namespace foliotally::pdf {

// The reader, then qpdf, then the reader's scan.
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
    const CountResult second = qpdf();
    return second.verdict == Verdict::kCounted || second.verdict == Verdict::kTimedOut ? second
                                                                                       : own;
  }
  // Without a header the file is no PDF by the book: only what the scan finds in it, if
  // anything, is counted; qpdf's more inventive repairs are kept for files that are PDF.
  if (own.verdict == Verdict::kNotPdf) {
    const CountResult scan = ScanPageCount(source, deadline);
    return found(scan) ? scan : own;
  }
  const CountResult second = qpdf();
  if (second.verdict == Verdict::kCounted || second.verdict == Verdict::kTimedOut) return second;
  const CountResult scan = ScanPageCount(source, deadline);
  if (found(scan)) return scan;
  return second.verdict == Verdict::kEncrypted ? second : own;
}

// `qpdf()` gives qpdf's count of the same bytes (in this process or in a helper). A file with
// no PDF syntax in it at all is not handed to qpdf. Where no page tree is readable at all,
// an unchanged linearized file's own statement of its page count is the answer. Never throws.
template <typename Qpdf>
CountResult Decide(ByteSource& source, const Deadline& deadline, Qpdf&& qpdf) {
  const CountResult result = DecideWithoutLinearization(source, deadline, qpdf);
  if (result.verdict != Verdict::kEncrypted && result.verdict != Verdict::kDamaged) return result;
  if (const auto pages = LinearizedPageCount(source)) return {Verdict::kCounted, *pages};
  return result;
}

}  // namespace foliotally::pdf
