#include "folder_browser/tree_walk_rules.h"

#include <algorithm>

#include "folder_browser/directory_search.h"
#include "folder_browser/path_functions.h"
#include "platform/io_error.h"

namespace foliotally {
namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Folders and ordinary files. System entries are asked for only to learn of entries whose
// status could not be read; the walk never takes one.
constexpr int32_t kWalkSearchAttributes = kAttrDirectory | kAttrSystem;

// Takes one accepted entry into the listing; notes the first entry that could not be read.
void TakeEntry(const TSearchRec& rec, const FileMasks* masks, WalkListing& listing, int& failure) {
  const RawDirectoryEntry& entry = rec.PlatformEntry;
  if (entry.status_error != 0) {
    if (failure == 0) failure = IoErrorCodeOf(entry.status_error);
    return;
  }
  if (rec.EntryAttributes & kAttrSystem) return;
  if (rec.EntryAttributes & kAttrDirectory) {
    if (!rec.EntryName.starts_with('.'))
      listing.subfolders.push_back(WalkSubfolder{rec.EntryName, IdentityOf(entry.status)});
  } else if (masks && masks->Matches(rec.EntryName)) {
    listing.files.push_back(rec.EntryName);
    listing.hidden_unchecked = listing.hidden_unchecked || entry.hidden_unread;
  }
}

// Without a descriptor to check the files on when they are opened, they are checked now.
void LeaveOutHiddenFiles(FileSystem& fs, const std::string& folder, WalkListing& listing) {
  std::erase_if(listing.files, [&](const std::string& name) {
    FileStatus status;
    return fs.Stat(JoinFolderAndName(folder, name), status) == 0 &&
           (status.attributes & kAttrHidden) != 0;
  });
  listing.hidden_unchecked = false;
}

}  // namespace

FolderIdentity IdentityOf(const FileStatus& status) { return {status.device, status.inode}; }

bool WalkNameLess(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const auto fa = static_cast<unsigned char>(FoldCase(a[i]));
    const auto fb = static_cast<unsigned char>(FoldCase(b[i]));
    if (fa != fb) return fa < fb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

int ReadFolderForWalk(FileSystem& fs, const std::string& folder, const FileMasks* masks,
                      WalkListing& listing, HiddenFiles hidden) {
  SearchYield yield = SearchYield::kFoldersOnly;
  if (masks)
    yield = hidden == HiddenFiles::kWhenOpened ? SearchYield::kNamesAndKindsHiddenLater
                                               : SearchYield::kNamesAndKinds;
  TSearchRec rec;
  int code = SearchFirst(fs, JoinFolderAndName(folder, "*.*"), kWalkSearchAttributes, rec, yield);
  // "Nothing matches" and "every entry skipped" both mean an empty folder here.
  if (code == kErrorFileNotFound || code == kErrorNoMoreFiles) return 0;
  int failure = 0;
  while (code == 0) {
    TakeEntry(rec, masks, listing, failure);
    code = SearchNext(rec);
  }
  if (!listing.files.empty() && rec.SearchHandle)
    listing.descriptor = rec.SearchHandle->stream().ShareDescriptor();
  SearchClose(rec);
  if (listing.hidden_unchecked && !listing.descriptor) LeaveOutHiddenFiles(fs, folder, listing);
  std::sort(listing.files.begin(), listing.files.end(), WalkNameLess);
  std::sort(
      listing.subfolders.begin(), listing.subfolders.end(),
      [](const WalkSubfolder& a, const WalkSubfolder& b) { return WalkNameLess(a.name, b.name); });
  return code == kErrorNoMoreFiles ? failure : code;
}

}  // namespace foliotally
