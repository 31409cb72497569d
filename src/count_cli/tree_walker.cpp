#include "count_cli/tree_walker.h"

#include "folder_browser/current_folder.h"
#include "folder_browser/path_functions.h"
#include "platform/io_error.h"

namespace foliotally::count_cli {
namespace {

void HandOutFiles(const std::string& folder, const WalkListing& listing,
                  const WalkCallbacks& callbacks) {
  for (const std::string& name : listing.files) {
    std::string path = JoinFolderAndName(folder, name);
    const size_t name_offset = path.size() - name.size();
    callbacks.file(
        FileToCount{std::move(path), listing.descriptor, name_offset, listing.hidden_unchecked});
  }
}

// `start` made absolute, so that the directory search need not ask for the working folder
// again for every folder below it.
std::string AbsoluteOf(FileSystem& fs, const std::string& start) {
  if (start.starts_with('/')) return start;
  const std::string current = CurrentFolderOf(fs);
  return current.empty() ? start : JoinFolderAndName(current, start);
}

}  // namespace

TreeWalker::TreeWalker(FileSystem& fs, const std::vector<std::string>& masks, bool recurse)
    : fs_(fs), masks_(masks), recurse_(recurse) {}

void TreeWalker::Walk(const std::string& start, const WalkCallbacks& callbacks) {
  // One frame per folder on the path from the start down to the folder being walked.
  struct Frame {
    std::string folder;
    std::vector<WalkSubfolder> subfolders;
    size_t next = 0;
  };
  std::vector<Frame> path;
  // Every folder's path begins with `start`; it is read under the absolute path instead.
  const std::string absolute_start = AbsoluteOf(fs_, start);

  // Reads a folder, hands out its files and, when it is to be walked further, puts it on
  // the path.
  const auto enter = [&](const std::string& folder) {
    if (callbacks.stop && callbacks.stop()) return;
    WalkListing listing;
    const std::string absolute = absolute_start + folder.substr(start.size());
    // The files are counted from the folder's descriptor, where their hidden bit is read.
    const int code = ReadFolderForWalk(fs_, absolute, &masks_, listing, HiddenFiles::kWhenOpened);
    HandOutFiles(folder, listing, callbacks);
    if (callbacks.folder_done) callbacks.folder_done();
    if (code != 0 && callbacks.folder_error) callbacks.folder_error(folder, IoErrorMessage(code));
    if (recurse_ && !listing.subfolders.empty())
      path.push_back(Frame{folder, std::move(listing.subfolders)});
  };

  FileStatus status;
  if (const int error = fs_.Stat(start, status); error != 0) {
    if (callbacks.folder_error)
      callbacks.folder_error(start, IoErrorMessage(IoErrorCodeOf(error, true)));
    return;
  }
  if (!walked_.FirstVisit(IdentityOf(status))) return;
  enter(start);

  while (!path.empty()) {
    if (callbacks.stop && callbacks.stop()) return;
    Frame& top = path.back();
    if (top.next == top.subfolders.size()) {
      path.pop_back();
      continue;
    }
    const WalkSubfolder& sub = top.subfolders[top.next++];
    if (!walked_.FirstVisit(sub.identity)) continue;
    enter(JoinFolderAndName(top.folder, sub.name));
  }
}

}  // namespace foliotally::count_cli
