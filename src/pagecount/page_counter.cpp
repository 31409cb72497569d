#include "pagecount/page_counter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "pagecount/document.h"
#include "pagecount/foliotally.h"
#include "pagecount/page_tree.h"
#include "pagecount/qpdf_fallback.h"

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

namespace {

// What the reader alone cannot count gets a second opinion from qpdf, then, for a damaged
// file qpdf cannot open either, the reader's own scan. A file with no PDF syntax in it at
// all is not handed to qpdf.
template <typename Qpdf>
CountResult Decide(ByteSource& source, Qpdf&& qpdf) {
  const CountResult own = ReadPageCount(source);
  if (own.verdict == Verdict::kCounted || own.verdict == Verdict::kUnreadable) return own;
  if (own.verdict == Verdict::kEncrypted) {
    const CountResult second = qpdf();
    return second.verdict == Verdict::kCounted ? second : own;
  }
  // Without a header the file is no PDF by the book: only what the scan finds in it, if
  // anything, is counted; qpdf's more inventive repairs are kept for files that are PDF.
  if (own.verdict == Verdict::kNotPdf) {
    const CountResult scan = ScanPageCount(source);
    return scan.verdict == Verdict::kCounted || scan.verdict == Verdict::kEncrypted ? scan : own;
  }
  const CountResult second = qpdf();
  if (second.verdict == Verdict::kCounted) return second;
  const CountResult scan = ScanPageCount(source);
  if (scan.verdict == Verdict::kCounted || scan.verdict == Verdict::kEncrypted) return scan;
  return second.verdict == Verdict::kEncrypted ? second : own;
}

// Closes a descriptor when the count is done.
struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

CountResult CountFile(const char* path) {
  if (path == nullptr || *path == '\0') return {Verdict::kUnreadable, 0};
  // Checked before opening, so that a device or a FIFO is never opened at all, and again
  // on the open descriptor, in case the name changed hands in between.
  struct stat st {};
  if (::stat(path, &st) != 0) return {Verdict::kUnreadable, 0};
  if (!S_ISREG(st.st_mode)) return {Verdict::kNotRegular, 0};
  const FileDescriptor file{::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (file.fd < 0) return {Verdict::kUnreadable, 0};
  if (::fstat(file.fd, &st) != 0) return {Verdict::kUnreadable, 0};
  if (!S_ISREG(st.st_mode)) return {Verdict::kNotRegular, 0};
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  FileByteSource source(file.fd, size);
  return Decide(source, [&] { return CountWithQpdf(file.fd, size); });
}

}  // namespace

int32_t CountPdfBytes(std::string_view bytes) {
  MemoryByteSource source(bytes);
  return ToResultCode(Decide(source, [&] { return CountWithQpdf(bytes); }));
}

int32_t CountPdfFile(const char* path) {
  try {
    return ToResultCode(CountFile(path));
  } catch (...) {
    return FOLIOTALLY_DAMAGED;
  }
}

}  // namespace foliotally::pdf
