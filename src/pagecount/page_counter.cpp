#include "pagecount/page_counter.h"

#include "pagecount/document.h"
#include "pagecount/foliotally.h"
#include "pagecount/linearization.h"
#include "pagecount/page_tree.h"
#include "pagecount/recovery_reason.h"

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
    return CountOpenedDocument(doc);
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
    const Document::ScanFinding finding = doc.OpenByScanning();
    const auto recovered = [&](int32_t pages, const char* how) {
      return RecoveredFrom(source, {Verdict::kCounted, pages, doc.repair_note()}, how,
                           doc.last_object());
    };
    switch (finding) {
      case Document::ScanFinding::kNothing:
        return {Verdict::kNotPdf, 0, "no PDF objects"};
      case Document::ScanFinding::kCatalog:
        return recovered(CountPageTree(doc), "cross-reference data rebuilt");
      case Document::ScanFinding::kNoRoot:
      case Document::ScanFinding::kTreeLost:
        // No catalog anywhere, or one whose page tree has lost its root: the pages are the
        // page objects the scan found, as a viewer shows them. Stray page objects in a file
        // that is not PDF by its header say nothing.
        if (!doc.has_header()) break;
        if (const int32_t pages = CountPageObjects(doc); pages > 0)
          return recovered(pages, finding == Document::ScanFinding::kNoRoot
                                      ? "no catalog: loose page objects counted"
                                      : "page-tree root damaged: its pages counted");
        break;
      case Document::ScanFinding::kRootLost:
        // The file's own catalog is gone: what it held is not guessed at from stray objects.
        break;
    }
    if (const auto pages = LinearizedPageCount(source))
      return recovered(*pages, "page count from the linearization parameters");
    return {Verdict::kDamaged, 0, "no page found"};
  } catch (const ReadFailure& failure) {
    return {failure.verdict, 0, failure.why};
  } catch (...) {
    return {Verdict::kDamaged, 0, "out of memory"};
  }
}

}  // namespace foliotally::pdf
