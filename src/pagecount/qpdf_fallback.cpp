#include "pagecount/qpdf_fallback.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

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
    QPDFObjectHandle count = qpdf.getRoot().getKey("/Pages").getKey("/Count");
    if (count.isInteger() && count.getIntValue() >= 0 &&
        static_cast<uint64_t>(count.getIntValue()) + 2 <= qpdf.getObjectCount())
      return {Verdict::kCounted, static_cast<int32_t>(count.getIntValue())};
    const size_t pages = QPDFPageDocumentHelper(qpdf).getAllPages().size();
    if (pages > INT32_MAX) return {Verdict::kDamaged, 0};
    return {Verdict::kCounted, static_cast<int32_t>(pages)};
  } catch (const QPDFExc& e) {
    return {e.getErrorCode() == qpdf_e_password ? Verdict::kEncrypted : Verdict::kDamaged, 0};
  } catch (...) {
    return {Verdict::kDamaged, 0};
  }
}

}  // namespace

CountResult CountWithQpdf(int fd, uint64_t size) {
  if (size > kQpdfMaxBytes) return {Verdict::kDamaged, 0};
  // qpdf reads through a FILE of its own on a duplicate of the descriptor, so the file it
  // reads is the one already checked to be regular, not whatever the path names now.
  const int dup_fd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (dup_fd < 0) return {Verdict::kUnreadable, 0};
  FILE* file = ::fdopen(dup_fd, "rb");
  if (!file) {
    ::close(dup_fd);
    return {Verdict::kUnreadable, 0};
  }
  bool handed_over = false;
  const CountResult result = Count([&](QPDF& qpdf) {
    handed_over = true;
    qpdf.processFile("pdf file", file, true);
  });
  if (!handed_over) std::fclose(file);
  return result;
}

CountResult CountWithQpdf(std::string_view bytes) {
  if (bytes.size() > kQpdfMaxBytes) return {Verdict::kDamaged, 0};
  return Count([&](QPDF& qpdf) { qpdf.processMemoryFile("pdf data", bytes.data(), bytes.size()); });
}

}  // namespace foliotally::pdf
