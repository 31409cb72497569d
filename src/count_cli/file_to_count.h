// One file handed from the walk to the counter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "count_cli/page_details.h"
#include "pagecount/foliotally.h"
#include "platform/folder_descriptor.h"

namespace foliotally::count_cli {

// The counter's answer for one file: the page count (or negative code) with its verdict
// and the reason when it is not sound.
using FileCount = FoliotallyCount;

// The answer `pages` alone stands for: a sound count, or not countable when negative.
inline FileCount CountOf(int32_t pages) {
  FileCount count{};
  count.pages = pages;
  count.verdict = pages >= 0 ? FOLIOTALLY_SOUND : FOLIOTALLY_NOT_COUNTABLE;
  return count;
}

// The counter's answer (in FileCount::pages) for a file that turned out hidden when it was
// opened: the file is not part of the run, as if the walk had left it out.
inline constexpr int32_t kHiddenFile = INT32_MIN;

struct FileToCount {
  std::string path;  // as the results name it
  // The folder the walk found the file in, held open, and where the file's own name
  // begins in `path`: the counter then opens the name relative to the folder. Without a
  // folder the path is opened as it stands.
  std::shared_ptr<const FolderDescriptor> folder;
  size_t name_offset = 0;
  // The walk did not read whether the file is hidden: the counter reads it from the file
  // once opened (FolderDescriptor::IsHidden) and answers kHiddenFile for a hidden one.
  bool check_hidden = false;
  // Where the counter puts what it learns of the pages besides their number (their
  // colours), when the run asks for it; null otherwise.
  std::shared_ptr<PageDetails> details{};

  const char* NameInFolder() const { return path.c_str() + name_offset; }
};

}  // namespace foliotally::count_cli
