// The library's exported functions.
#include <fcntl.h>

#include "pagecount/count_pdf.h"
#include "pagecount/count_report.h"
#include "pagecount/foliotally.h"
#include "pagecount/page_sizes.h"

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

namespace {

int32_t CopySizes(const foliotally::pdf::PageSizes& measured, FoliotallyPageSize* sizes,
                  int32_t capacity, int32_t* unknown_pages) {
  using foliotally::pdf::Verdict;
  if (unknown_pages) *unknown_pages = 0;
  if (measured.count.verdict != Verdict::kCounted)
    return foliotally::pdf::ToResultCode(measured.count);
  const auto& groups = measured.sizes.groups();
  for (size_t i = 0; i < groups.size() && sizes && static_cast<int64_t>(i) < capacity; ++i)
    sizes[i] = {groups[i].width_pt, groups[i].height_pt, static_cast<int32_t>(groups[i].pages)};
  if (unknown_pages) *unknown_pages = static_cast<int32_t>(measured.sizes.unknown());
  return static_cast<int32_t>(groups.size());
}

foliotally::pdf::SizeBox BoxNamed(int32_t box) {
  return box == FOLIOTALLY_BOX_TRIM ? foliotally::pdf::SizeBox::kTrim
                                    : foliotally::pdf::SizeBox::kCrop;
}

}  // namespace

extern "C" int32_t GetFoliotallySizesAt(int dirfd, const char* path, uint32_t time_limit_ms,
                                        int32_t box, FoliotallyPageSize* sizes, int32_t capacity,
                                        int32_t* unknown_pages) {
  return CopySizes(foliotally::pdf::MeasureFileSizes(dirfd, path, time_limit_ms, BoxNamed(box)),
                   sizes, capacity, unknown_pages);
}

extern "C" int32_t GetFoliotallySizesFd(int fd, uint32_t time_limit_ms, int32_t box,
                                        FoliotallyPageSize* sizes, int32_t capacity,
                                        int32_t* unknown_pages) {
  return CopySizes(foliotally::pdf::MeasureOpenFileSizes(fd, time_limit_ms, BoxNamed(box)), sizes,
                   capacity, unknown_pages);
}

extern "C" int32_t GetFoliotallyCountSizesAt(int dirfd, const char* path, uint32_t time_limit_ms,
                                             int32_t box, FoliotallyCount* count,
                                             FoliotallyPageSize* sizes, int32_t capacity,
                                             int32_t* unknown_pages) {
  const auto measured =
      foliotally::pdf::MeasureFileSizes(dirfd, path, time_limit_ms, BoxNamed(box));
  foliotally::pdf::Report(measured.count, count);
  return CopySizes(measured, sizes, capacity, unknown_pages);
}

extern "C" int32_t GetFoliotallyCountSizesFd(int fd, uint32_t time_limit_ms, int32_t box,
                                             FoliotallyCount* count, FoliotallyPageSize* sizes,
                                             int32_t capacity, int32_t* unknown_pages) {
  const auto measured = foliotally::pdf::MeasureOpenFileSizes(fd, time_limit_ms, BoxNamed(box));
  foliotally::pdf::Report(measured.count, count);
  return CopySizes(measured, sizes, capacity, unknown_pages);
}
