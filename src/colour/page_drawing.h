// Draws pages with poppler's pdftoppm, run as a process of its own, and looks at their
// pixels. pdftoppm (GPL) is never linked into this program: it is started like any command,
// and it is bounded like the repair helper is: it gets the count's remaining time and is
// killed with everything it started (its own process group) when that runs out, its memory
// is capped, its processor time too (so that it ends even if this program is killed first).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pagecount/deadline.h"

namespace foliotally::colour {

inline constexpr const char* kRendererName = "pdftoppm";
inline constexpr const char* kRendererPackage = "poppler-utils";
// Pages are drawn at this resolution: a hue anyone would see on paper fills whole pixels.
inline constexpr int kDrawDpi = 36;
// Pixels along each side of a drawn page at most (at 36 dpi, a sheet over 110 inches long is
// drawn in part, and found neutral only where the whole page was seen).
inline constexpr int kMaxDrawnSide = 4000;
// Address space the renderer may use.
inline constexpr uint64_t kRendererMemoryBytes = 2ull << 30;
// Pages drawn by one run of the renderer at most: its start costs tens of milliseconds, and
// the images of a run wait on disk until it ends.
inline constexpr int kPagesPerDrawing = 32;

enum class DrawnColour : uint8_t { kColour, kNeutral, kUnknown };

// The renderer's path: the first executable pdftoppm in the folders of PATH (or of
// /usr/local/bin:/usr/bin:/bin where PATH is unset). Empty when it is not installed.
std::string FindRenderer();

// Draws pages `first` to `last` (1-based) of the file open as `fd` with the renderer at
// `renderer`, within `deadline`, and says for each whether it shows colour. Pages the
// renderer did not draw whole in time, or could not draw, are unknown. Never throws for the
// renderer's failings; throws std::bad_alloc and the like only.
std::vector<DrawnColour> DrawPages(const std::string& renderer, int fd, int first, int last,
                                   const pdf::Deadline& deadline);

}  // namespace foliotally::colour
