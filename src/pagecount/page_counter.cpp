#include "pagecount/page_counter.h"

#include "pagecount/document.h"
#include "pagecount/foliotally.h"
#include "pagecount/linearization.h"
#include "pagecount/page_tree.h"

namespace foliotally::pdf {

int32_t ToResultCode(CountResult result) {
  switch (result.verdict) {
    case Verdict::kCounted:
      return result.pages;
    case Verdict::kUnreadable:
      return FOLIOTALLY_UNREADABLE;
    case Verdict::kNotRegular:
      return FOLIOTALLY_NOT_REGULAR;
    case Verdict::kNotPdf:
      return FOLIOTALLY_NOT_PDF;
    case Verdict::kDamaged:
    case Verdict::kTimedOut:
      return FOLIOTALLY_DAMAGED;
    case Verdict::kEncrypted:
      return FOLIOTALLY_ENCRYPTED;
  }
  return FOLIOTALLY_DAMAGED;
}

CountResult ReadPageCount(ByteSource& source, const Deadline& deadline) {
  try {
    Document doc(source, deadline);
    doc.Open();
    return {Verdict::kCounted, CountPageTree(doc)};
  } catch (const ReadFailure& failure) {
    return {failure.verdict, 0, failure.why};
  } catch (...) {
    return {Verdict::kDamaged, 0, "out of memory"};
  }
}

CountResult ScanPageCount(ByteSource& source, const Deadline& deadline) {
  if (source.Size() > kScanMaxBytes) return {Verdict::kDamaged, 0, "too long to scan"};
  try {
    Document doc(source, deadline);
    switch (doc.OpenByScanning()) {
      case Document::ScanFinding::kNothing:
        return {Verdict::kNotPdf, 0, "no PDF objects"};
      case Document::ScanFinding::kCatalog:
        return {Verdict::kCounted, CountPageTree(doc)};
      case Document::ScanFinding::kNoRoot:
        // No catalog anywhere: the pages of a PDF file are the page objects the scan found,
        // if any. Stray page objects in a file that is not PDF by its header say nothing.
        if (!doc.has_header()) break;
        if (const int32_t pages = CountPageObjects(doc); pages > 0)
          return {Verdict::kCounted, pages};
        break;
      case Document::ScanFinding::kRootLost:
        // The file's own catalog is gone: what it held is not guessed at from stray objects.
        break;
    }
    return {Verdict::kCounted, LinearizedPageCount(source).value_or(0)};
  } catch (const ReadFailure& failure) {
    return {failure.verdict, 0, failure.why};
  } catch (...) {
    return {Verdict::kDamaged, 0, "out of memory"};
  }
}

}  // namespace foliotally::pdf
