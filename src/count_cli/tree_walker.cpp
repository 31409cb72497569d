#include "count_cli/tree_walker.h"

#include <algorithm>
#include <cstring>

#include "folder_browser/directory_search.h"
#include "folder_browser/path_functions.h"
#include "platform/io_error.h"

namespace foliotally::count_cli {
namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The walk's search finds folders and ordinary files, never hidden or system entries.
constexpr int32_t kFoldersAndFiles = kAttrDirectory;
constexpr int32_t kFilesOnly = 0;

}  // namespace

bool NameLess(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const auto fa = static_cast<unsigned char>(FoldCase(a[i]));
    const auto fb = static_cast<unsigned char>(FoldCase(b[i]));
    if (fa != fb) return fa < fb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

TreeWalker::TreeWalker(FileSystem& fs, const std::vector<std::string>& masks, bool recurse)
    : fs_(fs), recurse_(recurse) {
  masks_.reserve(masks.size());
  for (const std::string& mask : masks) masks_.emplace_back(mask);
}

bool TreeWalker::MatchesMask(const std::string& name) const {
  return std::any_of(masks_.begin(), masks_.end(),
                     [&](const WildcardPattern& mask) { return mask.Matches(name); });
}

bool TreeWalker::ReadFolder(const std::string& folder, Listing& listing, std::string& message) {
  TSearchRec rec;
  int code = SearchFirst(fs_, JoinFolderAndName(folder, "*.*"),
                         recurse_ ? kFoldersAndFiles : kFilesOnly, rec);
  // "Nothing matches" and "every entry skipped" both mean an empty folder here.
  if (code == kErrorFileNotFound || code == kErrorNoMoreFiles) return true;
  while (code == 0) {
    if (rec.EntryAttributes & kAttrDirectory) {
      // The dot rule skips "." and ".." as well as every folder named like ".cache".
      if (rec.EntryName.front() != '.')
        listing.subfolders.push_back(Subfolder{rec.EntryName, rec.PlatformEntry.status.device,
                                               rec.PlatformEntry.status.inode});
    } else if (MatchesMask(rec.EntryName)) {
      listing.files.push_back(rec.EntryName);
    }
    code = SearchNext(rec);
  }
  SearchClose(rec);
  std::sort(listing.files.begin(), listing.files.end(), NameLess);
  std::sort(listing.subfolders.begin(), listing.subfolders.end(),
            [](const Subfolder& a, const Subfolder& b) { return NameLess(a.name, b.name); });
  if (code == kErrorNoMoreFiles) return true;
  message = IoErrorMessage(code);
  return false;
}

void TreeWalker::Walk(const std::string& start, const WalkCallbacks& callbacks) {
  // One frame per folder on the path from the start down to the folder being walked.
  struct Frame {
    std::string folder;
    uint64_t device;
    uint64_t inode;
    std::vector<Subfolder> subfolders;
    size_t next = 0;
  };
  std::vector<Frame> path;

  // Reads a folder, hands out its files and, when it is to be walked further, puts it on
  // the path.
  const auto enter = [&](const std::string& folder, uint64_t device, uint64_t inode) {
    if (callbacks.stop && callbacks.stop()) return;
    Listing listing;
    std::string message;
    const bool complete = ReadFolder(folder, listing, message);
    for (const std::string& name : listing.files) callbacks.file(JoinFolderAndName(folder, name));
    if (!complete && callbacks.folder_error) callbacks.folder_error(folder, message);
    if (recurse_ && !listing.subfolders.empty())
      path.push_back(Frame{folder, device, inode, std::move(listing.subfolders)});
  };

  FileStatus status;
  if (const int error = fs_.Stat(start, status); error != 0) {
    if (callbacks.folder_error)
      callbacks.folder_error(start, IoErrorMessage(IoErrorCodeOf(error, true)));
    return;
  }
  enter(start, status.device, status.inode);

  while (!path.empty()) {
    if (callbacks.stop && callbacks.stop()) return;
    Frame& top = path.back();
    if (top.next == top.subfolders.size()) {
      path.pop_back();
      continue;
    }
    const Subfolder& sub = top.subfolders[top.next++];
    const bool on_path = std::any_of(path.begin(), path.end(), [&](const Frame& frame) {
      return frame.device == sub.device && frame.inode == sub.inode;
    });
    if (on_path) continue;  // a link back to a folder being walked: entering it never ends
    enter(JoinFolderAndName(top.folder, sub.name), sub.device, sub.inode);
  }
}

}  // namespace foliotally::count_cli
