#include "pagecount/count_pdf.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "pagecount/decide.h"
#include "pagecount/repair_process.h"
#include "pagecount/unique_fd.h"

namespace foliotally::pdf {

namespace {

// What is not a regular file is refused before a single byte is read.
CountResult CountOpenFile(int fd, const Deadline& deadline) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return {Verdict::kUnreadable, 0, "cannot stat"};
  if (!S_ISREG(st.st_mode)) return {Verdict::kNotRegular, 0, nullptr};
  FileByteSource source(fd, static_cast<uint64_t>(st.st_size));
  // A helper that could not run is carried out of Decide beside the reason (the answer may
  // differ from the one the helper would have given), for a caller that warns about it.
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

// The count, or damaged when it ran out of memory: the library never throws.
template <typename Count>
CountResult WithoutThrowing(Count&& count) {
  try {
    return count();
  } catch (...) {
    return {Verdict::kDamaged, 0, "out of memory"};
  }
}

}  // namespace

CountResult CountPdfFileWithReason(int dirfd, const char* path, uint32_t time_limit_ms) {
  return WithoutThrowing([&] { return CountFile(dirfd, path, Deadline(time_limit_ms)); });
}

CountResult CountOpenPdfFileWithReason(int fd, uint32_t time_limit_ms) {
  // A descriptor that is not open (a negative one too) fails its status call: unreadable.
  return WithoutThrowing([&] { return CountOpenFile(fd, Deadline(time_limit_ms)); });
}

int32_t CountOpenPdfFile(int fd, uint32_t time_limit_ms) {
  return ToResultCode(CountOpenPdfFileWithReason(fd, time_limit_ms));
}

int32_t CountPdfFileAt(int dirfd, const char* path, uint32_t time_limit_ms) {
  return ToResultCode(CountPdfFileWithReason(dirfd, path, time_limit_ms));
}

}  // namespace foliotally::pdf
