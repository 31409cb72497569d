// The rules of a whole-tree count, kept in one place for the window's "Count All" and for
// foliotally-count: which entries of a folder the walk takes, the order of names, and that
// each physical folder is walked once per count.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "folder_browser/file_mask.h"
#include "platform/file_system.h"

namespace foliotally {

// A folder's device and inode: what stays the same however a link leads to it.
struct FolderIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FolderIdentity&) const = default;
};

FolderIdentity IdentityOf(const FileStatus& status);

// The folders one count has walked. A folder reached again, through a link, a bind mount
// or a second name, is not walked again: its files would be counted twice, and links that
// fan out (or lead to an ancestor, or to "/" with its endless /proc) would make the walk
// grow without bound.
class WalkedFolders {
 public:
  // True the first time a folder is offered, false every time after.
  bool FirstVisit(const FolderIdentity& folder) { return walked_.insert(folder).second; }

 private:
  struct Hash {
    size_t operator()(const FolderIdentity& f) const {
      return std::hash<uint64_t>()(f.inode * 0x9E3779B97F4A7C15ull ^ f.device);
    }
  };
  std::unordered_set<FolderIdentity, Hash> walked_;
};

// The walk's name order: ASCII letters compared without case; names that differ only in
// case are ordered by their bytes, so the order depends neither on the file system nor on
// the locale.
bool WalkNameLess(std::string_view a, std::string_view b);

struct WalkSubfolder {
  std::string name;
  FolderIdentity identity;
};

// What a walk takes from one folder.
struct WalkListing {
  std::vector<std::string> files;         // names of the matching files, in walk name order
  std::vector<WalkSubfolder> subfolders;  // the subfolders to walk, in walk name order
  // The folder held open for counting its files by name; null when it has no matching
  // files or the file system gives no descriptor.
  std::shared_ptr<const FolderDescriptor> descriptor;
  // Set when files were taken without reading their hidden bit (HiddenFiles::kWhenOpened):
  // whoever opens one of them must ask the descriptor (FolderDescriptor::IsHidden) and
  // pass a hidden one by. Never set without a descriptor.
  bool hidden_unchecked = false;
};

// When the walk learns which files are hidden: as it reads the folder, or when a file is
// opened to be counted, which spares a lookup of every file's name (set only by a caller
// that opens the files from the listing's descriptor and checks them there).
enum class HiddenFiles { kLeftOut, kWhenOpened };

// Reads the entries of `folder` that a walk takes: files that are neither hidden nor
// system and match `masks` (none at all when `masks` is null), and subfolders that are
// neither hidden nor system and whose name does not begin with a dot (which leaves out
// "." and ".." too). Returns 0 when the whole folder was read, else the I/O error code of
// what failed: the folder itself, or an entry whose status could not be read (in a folder
// that can be listed but not searched every entry fails, with 5); what was read stays in
// `listing`.
int ReadFolderForWalk(FileSystem& fs, const std::string& folder, const FileMasks* masks,
                      WalkListing& listing, HiddenFiles hidden = HiddenFiles::kLeftOut);

}  // namespace foliotally
