#include "pagecount/page_counter.h"

#include "pagecount/document.h"
#include "pagecount/foliotally.h"
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
        return {Verdict::kNotPdf, 0};
      case Document::ScanFinding::kBody:
        return {Verdict::kCounted, 0};
      case Document::ScanFinding::kCatalog:
        return {Verdict::kCounted, CountPageTree(doc)};
    }
  } catch (const ReadFailure& failure) {
    return {failure.verdict, 0, failure.why};
  } catch (...) {
    return {Verdict::kDamaged, 0, "out of memory"};
  }
  return {Verdict::kDamaged, 0, nullptr};
}

}  // namespace foliotally::pdf
