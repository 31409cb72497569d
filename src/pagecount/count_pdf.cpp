#include "pagecount/count_pdf.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "pagecount/decide.h"
#include "pagecount/foliotally.h"
#include "pagecount/repair_process.h"
#include "pagecount/unique_fd.h"

namespace foliotally::pdf {

namespace {

// What is not a regular file is refused before a single byte is read.
CountResult CountOpenFile(int fd, const Deadline& deadline) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return {Verdict::kUnreadable, 0, "cannot stat"};
  if (!S_ISREG(st.st_mode)) return {Verdict::kNotRegular, 0, "not a regular file"};
  FileByteSource source(fd, static_cast<uint64_t>(st.st_size));
  return Decide(source, deadline,
                [&] { return CountInRepairHelper(FindRepairHelper(), fd, deadline); });
}

CountResult CountFile(int dirfd, const char* path, const Deadline& deadline) {
  if (path == nullptr || *path == '\0') return {Verdict::kUnreadable, 0, "no path"};
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const UniqueFd file(::openat(dirfd, path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.get() < 0) return {Verdict::kUnreadable, 0, "cannot open"};
  return CountOpenFile(file.get(), deadline);
}

}  // namespace

CountResult CountPdfFileWithReason(int dirfd, const char* path, uint32_t time_limit_ms) {
  try {
    return CountFile(dirfd, path, Deadline(time_limit_ms));
  } catch (...) {
    return {Verdict::kDamaged, 0, "out of memory"};
  }
}

int32_t CountOpenPdfFile(int fd, uint32_t time_limit_ms) {
  if (fd < 0) return FOLIOTALLY_UNREADABLE;
  try {
    return ToResultCode(CountOpenFile(fd, Deadline(time_limit_ms)));
  } catch (...) {
    return FOLIOTALLY_DAMAGED;
  }
}

int32_t CountPdfFileAt(int dirfd, const char* path, uint32_t time_limit_ms) {
  return ToResultCode(CountPdfFileWithReason(dirfd, path, time_limit_ms));
}

}  // namespace foliotally::pdf
