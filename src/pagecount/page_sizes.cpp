#include "pagecount/page_sizes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cmath>
#include <new>

#include "pagecount/decide.h"
#include "pagecount/document.h"
#include "pagecount/page_tree.h"
#include "pagecount/page_walk.h"
#include "pagecount/repair_process.h"
#include "pagecount/unique_fd.h"

namespace foliotally::pdf {

void SizeTally::Add(const std::optional<PageSize>& size) {
  if (!size || !(size->width_pt <= kMaxSidePt && size->height_pt <= kMaxSidePt)) {
    ++unknown_;
    return;
  }
  ++measured_;
  const std::pair<int64_t, int64_t> key{std::llround(size->width_pt * 1000),
                                        std::llround(size->height_pt * 1000)};
  const auto [it, added] = index_.try_emplace(key, groups_.size());
  if (added)
    groups_.push_back(
        {static_cast<double>(key.first) / 1000, static_cast<double>(key.second) / 1000, 0});
  ++groups_[it->second].pages;
}

namespace {

// Measures pages of `doc` until `pages` are tallied or the walk ends; what the walk cannot
// reach stays unknown. Running out of time or memory ends the walk, not the count. True
// when the walk read every page it found to the end (sizes may still be unknown).
bool WalkSizes(Document& doc, int64_t pages, SizeBox box, SizeTally& tally) {
  bool whole = true;
  try {
    PageWalk walk(doc, PageWalkOptions{});
    WalkedPage page;
    while (tally.pages() < pages && walk.Next(page)) {
      whole = whole && page.readable;
      tally.Add(MeasurePage(page, box));
    }
  } catch (const ReadFailure&) {
    whole = false;
  } catch (const std::bad_alloc&) {
    whole = false;
  }
  return whole && tally.pages() == pages;
}

// After a count the reader could not make by its first way in: the sizes its scan can
// read, where the scan finds a catalog.
void ScanSizes(ByteSource& source, const Deadline& deadline, int64_t pages, SizeBox box,
               SizeTally& tally) {
  try {
    Document doc(source, deadline);
    const Document::ScanFinding found = doc.OpenByScanning();
    if (found == Document::ScanFinding::kCatalog) {
      WalkSizes(doc, pages, box, tally);
      return;
    }
    // Without a catalog the page objects found are the pages only when there are exactly as
    // many as the count: otherwise which of them the count holds is not known.
    if (found == Document::ScanFinding::kNothing) return;
    const std::vector<WalkedPage> loose = ScannedPages(doc, pages);
    if (static_cast<int64_t>(loose.size()) != pages) return;
    for (const WalkedPage& page : loose) tally.Add(MeasurePage(page, box));
  } catch (const ReadFailure&) {
  } catch (const std::bad_alloc&) {
  }
}

template <typename Measure>
PageSizes WithoutThrowing(Measure&& measure) {
  try {
    return measure();
  } catch (...) {
    PageSizes failed;
    failed.count = {Verdict::kDamaged, 0, "out of memory"};
    return failed;
  }
}

PageSizes MeasureOpenFile(int fd, const Deadline& deadline, SizeBox box) {
  PageSizes out;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    out.count = {Verdict::kUnreadable, 0, "cannot stat"};
  } else if (!S_ISREG(st.st_mode)) {
    out.count = {Verdict::kNotRegular, 0, nullptr};  // as the count has it: no reason given
  } else {
    FileByteSource source(fd, static_cast<uint64_t>(st.st_size));
    out = MeasurePageSizes(source, deadline, box,
                           [&] { return CountInRepairHelper(FindRepairHelper(), fd, deadline); });
  }
  return out;
}

}  // namespace

PageSizes MeasurePageSizes(ByteSource& source, const Deadline& deadline, SizeBox box,
                           const std::function<CountResult()>& qpdf) {
  PageSizes out;
  // The reader's first way in, as the count takes it, with the walk on the same document:
  // the cross-reference data is read once for both.
  try {
    Document doc(source, deadline);
    doc.Open();
    out.count = CountOpenedDocument(doc);
    // Pages the cross-reference data leads astray may still be found by a scan of the file.
    if (!WalkSizes(doc, out.count.pages, box, out.sizes)) {
      SizeTally scanned;
      ScanSizes(source, deadline, out.count.pages, box, scanned);
      if (scanned.pages() - scanned.unknown() > out.sizes.pages() - out.sizes.unknown())
        out.sizes = std::move(scanned);
    }
  } catch (const ReadFailure&) {
    out.count = Decide(source, deadline, qpdf);
    if (out.count.verdict == Verdict::kCounted)
      ScanSizes(source, deadline, out.count.pages, box, out.sizes);
  } catch (...) {
    out.count = {Verdict::kDamaged, 0, "out of memory"};
  }
  if (out.count.verdict != Verdict::kCounted) return PageSizes{out.count, {}};
  out.sizes.AddUnknown(out.count.pages - out.sizes.pages());
  return out;
}

PageSizes MeasureFileSizes(int dirfd, const char* path, uint32_t time_limit_ms, SizeBox box) {
  return WithoutThrowing([&] {
    const Deadline deadline(time_limit_ms);
    if (path == nullptr || *path == '\0')
      return PageSizes{{Verdict::kUnreadable, 0, "no path"}, {}};
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const UniqueFd file(::openat(dirfd, path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) return PageSizes{{Verdict::kUnreadable, 0, "cannot open"}, {}};
    return MeasureOpenFile(file.get(), deadline, box);
  });
}

PageSizes MeasureOpenFileSizes(int fd, uint32_t time_limit_ms, SizeBox box) {
  return WithoutThrowing([&] { return MeasureOpenFile(fd, Deadline(time_limit_ms), box); });
}

}  // namespace foliotally::pdf
