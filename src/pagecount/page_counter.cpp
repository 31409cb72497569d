#include "pagecount/page_counter.h"

#include <new>

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
      return FOLIOTALLY_DAMAGED;
    case Verdict::kEncrypted:
      return FOLIOTALLY_ENCRYPTED;
  }
  return FOLIOTALLY_DAMAGED;
}

CountResult ReadPageCount(ByteSource& source) {
  try {
    Document doc(source);
    doc.Open();
    return {Verdict::kCounted, CountPageTree(doc)};
  } catch (const ReadFailure& failure) {
    return {failure.verdict, 0};
  } catch (const std::bad_alloc&) {
    return {Verdict::kDamaged, 0};
  } catch (...) {
    return {Verdict::kDamaged, 0};
  }
}

CountResult ScanPageCount(ByteSource& source) {
  if (source.Size() > kScanMaxBytes) return {Verdict::kDamaged, 0};
  try {
    Document doc(source);
    switch (doc.OpenByScanning()) {
      case Document::ScanFinding::kNothing:
        return {Verdict::kNotPdf, 0};
      case Document::ScanFinding::kBody:
        return {Verdict::kCounted, 0};
      case Document::ScanFinding::kCatalog:
        return {Verdict::kCounted, CountPageTree(doc)};
    }
  } catch (const ReadFailure& failure) {
    return {failure.verdict, 0};
  } catch (...) {
  }
  return {Verdict::kDamaged, 0};
}

}  // namespace foliotally::pdf
