#include "colour/page_colours.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <new>
#include <vector>

#include "colour/content_reader.h"
#include "colour/page_drawing.h"
#include "pagecount/document.h"
#include "pagecount/page_walk.h"

namespace foliotally::colour {

namespace {

using pdf::Deadline;
using pdf::ReadFailure;
using pdf::Verdict;

// Pages between two pages to draw, when no more than this many, are drawn with them: one
// start of the renderer costs more than drawing a few pages at this resolution.
constexpr int64_t kJoinGap = 4;

// What reading leaves to drawing: a page is drawn unless reading proved it black-and-white.
struct Progress {
  PageColours& out;
  std::vector<bool> to_draw;
  std::optional<pdf::SizeBox> box;  // measure each page too
};

// Reads pages of `doc` in order until each page of the count was looked at, the walk ends,
// or the deadline passes. Whatever stops the reading leaves the rest to be drawn.
void ReadPages(pdf::Document& doc, const Deadline& deadline, Progress& progress) {
  try {
    ContentReader reader(doc, deadline);
    pdf::PageWalk walk(doc, pdf::PageWalkOptions{.whole_page = true, .resources = true});
    pdf::WalkedPage page;
    const auto pages = static_cast<int64_t>(progress.to_draw.size());
    for (int64_t i = 0; i < pages && walk.Next(page); ++i) {
      if (!page.readable) continue;
      if (progress.box)
        progress.out.sizes[static_cast<size_t>(i)] = pdf::MeasurePage(page, *progress.box);
      doc.RenewDecodeBudget();
      if (!reader.Read(page.page, page.attributes.resources).neutral) continue;
      progress.out.letters[static_cast<size_t>(i)] = kGreyPage;
      progress.to_draw[static_cast<size_t>(i)] = false;
      ++progress.out.read;
    }
  } catch (const ReadFailure&) {
  } catch (const std::bad_alloc&) {
  }
}

void ScanAndReadPages(pdf::ByteSource& source, const Deadline& deadline, Progress& progress) {
  try {
    pdf::Document doc(source, deadline);
    if (doc.OpenByScanning() == pdf::Document::ScanFinding::kCatalog)
      ReadPages(doc, deadline, progress);
  } catch (const ReadFailure&) {
  } catch (const std::bad_alloc&) {
  }
}

// Draws the pages left to draw, in runs.
void DrawPages(const DrawFunction& draw, const Deadline& deadline, Progress& progress) {
  const auto pages = static_cast<int64_t>(progress.to_draw.size());
  int64_t i = 0;
  while (i < pages && !deadline.Passed()) {
    if (!progress.to_draw[static_cast<size_t>(i)]) {
      ++i;
      continue;
    }
    int64_t last = i;
    for (int64_t j = i + 1; j < pages && j - last <= kJoinGap + 1; ++j)
      if (progress.to_draw[static_cast<size_t>(j)]) last = j;
    const std::string seen = draw(static_cast<int>(i + 1), static_cast<int>(last + 1));
    for (int64_t p = i; p <= last; ++p) {
      if (!progress.to_draw[static_cast<size_t>(p)]) continue;
      if (seen.empty()) {
        ++progress.out.without_renderer;
        continue;
      }
      const char letter = static_cast<size_t>(p - i) < seen.size()
                              ? seen[static_cast<size_t>(p - i)]
                              : kUnknownPage;
      progress.out.letters[static_cast<size_t>(p)] = letter;
      if (letter != kUnknownPage) ++progress.out.drawn;
    }
    i = last + 1;
  }
}

}  // namespace

uint32_t DefaultColourTimeLimitMs(int32_t pages) {
  const uint64_t ms = kDefaultColourTimeLimitMs +
                      uint64_t{kColourTimePerPageMs} * static_cast<uint64_t>(std::max(pages, 0));
  return static_cast<uint32_t>(std::min<uint64_t>(ms, kMaxDefaultColourTimeLimitMs));
}

PageColours ReadPageColours(pdf::ByteSource& source, int32_t pages, const Deadline& deadline,
                            const DrawFunction& draw, std::optional<pdf::SizeBox> box) {
  PageColours out;
  const auto n = static_cast<size_t>(std::max(pages, 0));
  out.letters.assign(n, kUnknownPage);
  if (box) out.sizes.assign(n, std::nullopt);
  Progress progress{out, std::vector<bool>(n, true), box};
  // The pages the library counted are read the way it found them: through the
  // cross-reference data, or by the scan where that cannot be read.
  try {
    pdf::Document doc(source, deadline);
    doc.Open();
    ReadPages(doc, deadline, progress);
  } catch (const ReadFailure&) {
    ScanAndReadPages(source, deadline, progress);
  }
  DrawPages(draw, deadline, progress);
  return out;
}

PageColours ReadOpenFileColours(int fd, int32_t pages, uint32_t time_limit_ms,
                                const std::string& renderer, std::optional<pdf::SizeBox> box) {
  const Deadline deadline(time_limit_ms ? time_limit_ms : DefaultColourTimeLimitMs(pages));
  try {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return {};
    pdf::FileByteSource source(fd, static_cast<uint64_t>(st.st_size));
    const DrawFunction draw = [&](int first, int last) {
      if (renderer.empty()) return std::string();
      std::string letters;
      for (const DrawnColour seen : colour::DrawPages(renderer, fd, first, last, deadline))
        letters += seen == DrawnColour::kColour    ? kColourPage
                   : seen == DrawnColour::kNeutral ? kGreyPage
                                                   : kUnknownPage;
      return letters;
    };
    return ReadPageColours(source, pages, deadline, draw, box);
  } catch (...) {
    PageColours unknown;
    unknown.letters.assign(static_cast<size_t>(std::max(pages, 0)), kUnknownPage);
    return unknown;
  }
}

}  // namespace foliotally::colour
