// The folder walk of foliotally-count: which files of a folder tree are counted, and in
// which order. A folder's own files come first, then each of its subfolders with its
// whole subtree, both in the walk's name order. What is taken from a folder, which
// folders are walked and the name order are the walk rules the window's "Count All" keeps
// too (folder_browser/tree_walk_rules.h).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "count_cli/file_to_count.h"
#include "folder_browser/file_mask.h"
#include "folder_browser/tree_walk_rules.h"
#include "platform/file_system.h"

namespace foliotally::count_cli {

struct WalkCallbacks {
  // A file to count, with its path built as folder + "/" + name.
  std::function<void(FileToCount file)> file;
  // A folder that could not be read (fully); `message` says why.
  std::function<void(const std::string& folder, const std::string& message)> folder_error;
  // Asked before each folder is read; true ends the walk there.
  std::function<bool()> stop;
};

class TreeWalker {
 public:
  // `masks` are wildcard patterns; a file is counted once when any of them matches.
  TreeWalker(FileSystem& fs, const std::vector<std::string>& masks, bool recurse);

  // Walks the folder `start` (as the user wrote it; paths are built on it). A folder that
  // this walker has walked already, in this call or an earlier one, is not walked again.
  void Walk(const std::string& start, const WalkCallbacks& callbacks);

 private:
  FileSystem& fs_;
  FileMasks masks_;
  bool recurse_;
  WalkedFolders walked_;
};

}  // namespace foliotally::count_cli
