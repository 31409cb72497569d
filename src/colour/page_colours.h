// The colour of every page of a file: read where reading can prove a page black-and-white,
// drawn where it cannot, unknown where neither could tell (the page cannot be reached, the
// renderer is missing, failed or ran out of time).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pagecount/byte_source.h"
#include "pagecount/deadline.h"
#include "pagecount/page_geometry.h"

namespace foliotally::colour {

// Letters of the verdicts, one per page.
inline constexpr char kColourPage = 'C';
inline constexpr char kGreyPage = 'G';
inline constexpr char kUnknownPage = '?';

// The time one file's colours may take when the caller gives none: a minute, and a tenth of
// a second more for each page (drawing a long colour document takes a while at 36 dpi), at
// most half an hour.
inline constexpr uint32_t kDefaultColourTimeLimitMs = 60000;
inline constexpr uint32_t kColourTimePerPageMs = 100;
inline constexpr uint32_t kMaxDefaultColourTimeLimitMs = 30 * 60000;
uint32_t DefaultColourTimeLimitMs(int32_t pages);

struct PageColours {
  std::string letters;  // one letter per page, in page order
  int64_t read = 0;     // pages decided by reading alone
  int64_t drawn = 0;    // pages decided by drawing
  // Pages that had to be drawn but could not be, for want of a renderer.
  int64_t without_renderer = 0;
  // When asked for: each page's size, as the walk that read the page measured it (nothing
  // for a page the walk did not reach or could not measure).
  std::vector<std::optional<pdf::PageSize>> sizes;
};

// How the pages reading cannot decide get drawn: pages first..last (1-based) of the file,
// one letter per page; empty when there is no renderer. Tests put a fake in its place.
using DrawFunction = std::function<std::string(int first, int last)>;

// The colours of the `pages` pages (the library's count of the same file) of the file in
// `source`, and with `box` their sizes. Never throws but for want of memory.
PageColours ReadPageColours(pdf::ByteSource& source, int32_t pages, const pdf::Deadline& deadline,
                            const DrawFunction& draw,
                            std::optional<pdf::SizeBox> box = std::nullopt);

// The same for the regular file open as `fd`, drawn with the renderer at `renderer` (empty:
// none installed), within `time_limit_ms` (0: DefaultColourTimeLimitMs). Pages whose colour
// could not be told for want of memory are unknown. Never throws.
PageColours ReadOpenFileColours(int fd, int32_t pages, uint32_t time_limit_ms,
                                const std::string& renderer,
                                std::optional<pdf::SizeBox> box = std::nullopt);

}  // namespace foliotally::colour
