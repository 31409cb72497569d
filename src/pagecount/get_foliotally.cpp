// The library's exported functions.
#include <fcntl.h>

#include "pagecount/count_pdf.h"
#include "pagecount/count_report.h"
#include "pagecount/foliotally.h"

extern "C" int32_t GetFoliotally(const char* path) {
  return foliotally::pdf::CountPdfFileAt(AT_FDCWD, path, 0);
}

extern "C" int32_t GetFoliotallyAt(int dirfd, const char* path, uint32_t time_limit_ms) {
  return foliotally::pdf::CountPdfFileAt(dirfd, path, time_limit_ms);
}

extern "C" int32_t GetFoliotallyFd(int fd, uint32_t time_limit_ms) {
  return foliotally::pdf::CountOpenPdfFile(fd, time_limit_ms);
}

extern "C" int32_t GetFoliotallyCountAt(int dirfd, const char* path, uint32_t time_limit_ms,
                                        FoliotallyCount* out) {
  return foliotally::pdf::Report(
      foliotally::pdf::CountPdfFileWithReason(dirfd, path, time_limit_ms), out);
}

extern "C" int32_t GetFoliotallyCountFd(int fd, uint32_t time_limit_ms, FoliotallyCount* out) {
  return foliotally::pdf::Report(foliotally::pdf::CountOpenPdfFileWithReason(fd, time_limit_ms),
                                 out);
}
