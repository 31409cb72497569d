// The folder walk of a whole-tree count: which files of a folder tree are counted, and in
// which order. A folder's own files come first, sorted by name ignoring case (as the file
// list shows them); then each subfolder, also sorted by name, is walked depth first.
// Hidden and system entries and folders whose name begins with a dot are skipped, and a
// folder is never entered twice on one path down (a link to an ancestor).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "folder_browser/wildcard.h"
#include "platform/file_system.h"

namespace foliotally::count_cli {

// Name order of the walk: ASCII letters compared without case; names that differ only in
// case are ordered by their bytes, so the order never depends on the file system or the
// locale.
bool NameLess(std::string_view a, std::string_view b);

struct WalkCallbacks {
  // A file to count, with its path built as folder + "/" + name.
  std::function<void(const std::string& path)> file;
  // A folder that could not be read (fully); `message` says why.
  std::function<void(const std::string& folder, const std::string& message)> folder_error;
  // Asked before each folder is read; true ends the walk there.
  std::function<bool()> stop;
};

class TreeWalker {
 public:
  // `masks` are wildcard patterns; a file is counted once when any of them matches.
  TreeWalker(FileSystem& fs, const std::vector<std::string>& masks, bool recurse);

  // Walks the folder `start` (as the user wrote it; paths are built on it).
  void Walk(const std::string& start, const WalkCallbacks& callbacks);

 private:
  struct Subfolder {
    std::string name;
    uint64_t device = 0;
    uint64_t inode = 0;
  };
  struct Listing {
    std::vector<std::string> files;
    std::vector<Subfolder> subfolders;
  };

  // Reads one folder. Returns false, with the reason in `message`, when it cannot be read;
  // what was read before a failure is still in `listing`.
  bool ReadFolder(const std::string& folder, Listing& listing, std::string& message);
  bool MatchesMask(const std::string& name) const;

  FileSystem& fs_;
  std::vector<WildcardPattern> masks_;
  bool recurse_;
};

}  // namespace foliotally::count_cli
