// The sizes of a file's pages, grouped: the page walk and the geometry of each page, with
// the page count the library gives for the same file, so that sizes and count always agree.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "pagecount/byte_source.h"
#include "pagecount/deadline.h"
#include "pagecount/page_geometry.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

// Pages of one size. Sizes are kept to a thousandth of a point, so that one paper written
// with slightly different corners (0 0 595.276 841.89 and 10 10 605.276 851.89) is one group.
struct SizeGroup {
  double width_pt = 0;
  double height_pt = 0;
  int64_t pages = 0;
};

// A side longer than this (about 350 km) is no page: its size is taken as unknown.
inline constexpr double kMaxSidePt = 1e12;

// Groups page sizes in the order they are first seen.
class SizeTally {
 public:
  // Adds one page; nothing, or a side out of bounds, counts as a page of unknown size.
  void Add(const std::optional<PageSize>& size);
  void AddUnknown(int64_t pages) { unknown_ += pages; }
  const std::vector<SizeGroup>& groups() const { return groups_; }
  int64_t unknown() const { return unknown_; }
  int64_t pages() const { return measured_ + unknown_; }

 private:
  struct KeyHash {
    size_t operator()(const std::pair<int64_t, int64_t>& k) const {
      return std::hash<int64_t>()(k.first * 1000003 ^ k.second);
    }
  };
  std::vector<SizeGroup> groups_;
  std::unordered_map<std::pair<int64_t, int64_t>, size_t, KeyHash> index_;
  int64_t measured_ = 0;
  int64_t unknown_ = 0;
};

struct PageSizes {
  CountResult count;  // the library's count of the file, verdict and reason included
  SizeTally sizes;    // for a counted file: as many pages as the count, some perhaps unknown
};

// The count as the library decides it (`qpdf` gives qpdf's second opinion) and the sizes of
// as many pages as the count holds. Pages the walk cannot reach (damage, the deadline, a
// count only qpdf could give) are of unknown size. Never throws.
PageSizes MeasurePageSizes(ByteSource& source, const Deadline& deadline, SizeBox box,
                           const std::function<CountResult()>& qpdf);

// The same for a file named by `path` relative to the open folder `dirfd`, or for the open
// file `fd` when `path` is null, as the library's exports count them. Never throws.
PageSizes MeasureFileSizes(int dirfd, const char* path, uint32_t time_limit_ms, SizeBox box);
PageSizes MeasureOpenFileSizes(int fd, uint32_t time_limit_ms, SizeBox box);

}  // namespace foliotally::pdf
