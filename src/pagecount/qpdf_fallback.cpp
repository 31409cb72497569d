#include "pagecount/qpdf_fallback.h"

#include <unistd.h>

#include <cerrno>
#include <functional>
#include <new>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <string>

namespace foliotally::pdf {

namespace {

// Runs `open` on a quiet QPDF object of this call's own and counts the pages it finds.
CountResult Count(const std::function<void(QPDF&)>& open) {
  try {
    QPDF qpdf;
    auto logger = QPDFLogger::create();
    logger->setInfo(logger->discard());
    logger->setWarn(logger->discard());
    logger->setError(logger->discard());
    qpdf.setLogger(logger);
    qpdf.setSuppressWarnings(true);
    qpdf.setAttemptRecovery(true);
    open(qpdf);
    // The page-tree root's /Count, as qpdf reads it after its repairs; a walk of the tree
    // when that is more than the file can hold (each page an object besides object 0, the
    // catalog and the tree's root, as the reader's own bound has it).
    // qpdf warns (quietly here) whenever it had to repair what it read: such a count is
    // recovered, not sound.
    QPDFObjectHandle count = qpdf.getRoot().getKey("/Pages").getKey("/Count");
    if (count.isInteger() && count.getIntValue() >= 0 &&
        static_cast<uint64_t>(count.getIntValue()) + 2 <= qpdf.getObjectCount())
      return {Verdict::kCounted, static_cast<int32_t>(count.getIntValue()), nullptr,
              qpdf.anyWarnings()};
    const size_t pages = QPDFPageDocumentHelper(qpdf).getAllPages().size();
    if (pages > INT32_MAX) return {Verdict::kDamaged, 0};
    return {Verdict::kCounted, static_cast<int32_t>(pages), nullptr, qpdf.anyWarnings()};
  } catch (const QPDFExc& e) {
    return {e.getErrorCode() == qpdf_e_password ? Verdict::kEncrypted : Verdict::kDamaged, 0};
  } catch (...) {
    return {Verdict::kDamaged, 0};
  }
}

}  // namespace

CountResult CountWithQpdf(int fd, uint64_t size) {
  if (size > kQpdfMaxBytes) return {Verdict::kDamaged, 0};
  // The bytes are read with pread into memory, and qpdf reads them there: the descriptor's
  // offset may be shared with another reader of the same open file, and a file that shrinks
  // meanwhile is simply shorter.
  std::string bytes;
  try {
    bytes.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return {Verdict::kDamaged, 0};  // beyond the memory this process may have
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {Verdict::kUnreadable, 0};
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return CountWithQpdf(bytes);
}

CountResult CountWithQpdf(std::string_view bytes) {
  if (bytes.size() > kQpdfMaxBytes) return {Verdict::kDamaged, 0};
  return Count([&](QPDF& qpdf) { qpdf.processMemoryFile("pdf data", bytes.data(), bytes.size()); });
}

}  // namespace foliotally::pdf
