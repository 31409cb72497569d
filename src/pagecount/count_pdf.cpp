#include "pagecount/count_pdf.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pagecount/foliotally.h"
#include "pagecount/page_counter.h"
#include "pagecount/qpdf_fallback.h"

namespace foliotally::pdf {

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

CountResult CountFile(int dirfd, const char* path) {
  if (path == nullptr || *path == '\0') return {Verdict::kUnreadable, 0};
  // O_NONBLOCK: opening a FIFO must not wait for a writer. What is not a regular file is
  // refused before a single byte is read.
  const FileDescriptor file{::openat(dirfd, path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (file.fd < 0) return {Verdict::kUnreadable, 0};
  struct stat st {};
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

int32_t CountPdfFile(const char* path) { return CountPdfFileAt(AT_FDCWD, path, 0); }

// The time limit is not enforced yet: the reader and its fallback learn to keep a deadline.
int32_t CountPdfFileAt(int dirfd, const char* path, uint32_t /*time_limit_ms*/) {
  try {
    return ToResultCode(CountFile(dirfd, path));
  } catch (...) {
    return FOLIOTALLY_DAMAGED;
  }
}

}  // namespace foliotally::pdf
