#include "folder_browser/current_folder.h"

#include <cerrno>

#include "folder_browser/existence_checks.h"
#include "folder_browser/path_functions.h"
#include "folder_browser/wildcard.h"
#include "platform/io_error.h"

namespace foliotally {
namespace {

// Whether the folder above the last name of `path` is missing too.
bool IsParentMissing(FileSystem& fs, const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == PathStyle::Native().delimiter) trimmed.pop_back();
  const std::string parent = FolderPartOf(trimmed);
  return !parent.empty() && parent != trimmed && !IsExistingFolder(fs, parent);
}

// Puts the saved current folder back when it goes, if that folder still exists.
class CurrentFolderRestorer {
 public:
  CurrentFolderRestorer(FileSystem& fs, std::string saved) : fs_(fs), saved_(std::move(saved)) {}
  ~CurrentFolderRestorer() {
    if (IsExistingFolder(fs_, saved_)) fs_.ChangeDirectory(saved_);
  }
  CurrentFolderRestorer(const CurrentFolderRestorer&) = delete;
  CurrentFolderRestorer& operator=(const CurrentFolderRestorer&) = delete;

 private:
  FileSystem& fs_;
  std::string saved_;
};

}  // namespace

std::string CurrentFolderOf(FileSystem& fs) {
  std::string path;
  if (fs.CurrentDirectory(path) != 0) return {};
  return path;
}

void ChangeCurrentFolder(FileSystem& fs, const std::string& path) {
  const int error = fs.ChangeDirectory(path);
  if (error == 0) return;
  const bool parent_missing = error == ENOENT && IsParentMissing(fs, path);
  throw MakeInOutError(IoErrorCodeOf(error, parent_missing));
}

SplitPath SplitPathText(FileSystem& fs, const PathStyle& style, const std::string& text) {
  const std::string delimiter(1, style.delimiter);
  const std::string saved = CurrentFolderOf(fs);
  SplitPath result;
  result.drive = style.has_drives && !saved.empty() ? saved[0] : '\0';
  std::string folder = text;
  std::string root;
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
    // A folder row of a file list, "[name]".
    folder = text.substr(1, text.size() - 2);
  } else {
    root = DrivePartOf(folder, style);
    if (root.empty())
      root = DrivePartOf(saved, style);
    else
      folder.erase(0, root.size());
    result.drive = root.size() >= 2 && root[1] == ':' ? root[0] : '\0';
  }

  CurrentFolderRestorer restorer(fs, saved);
  if (IsExistingFolder(fs, root)) ChangeCurrentFolder(fs, root);
  std::string file = NamePartOf(folder, style);
  if (folder.size() == file.size() + 1) {
    folder = delimiter;
  } else if (folder.size() > file.size()) {
    folder.resize(folder.size() - file.size() - 1);
  } else {
    // No folder in the text: the current folder, without its drive.
    folder = CurrentFolderOf(fs);
    folder.erase(0, DrivePartOf(folder, style).size());
    if (folder.empty()) folder = delimiter;
  }
  if (!folder.empty()) ChangeCurrentFolder(fs, folder);
  // A name that is an existing folder is that folder, whatever characters it holds ("*"
  // and "?" are ordinary in names here); only a name that is no folder may be a wildcard
  // pattern, and a plain name that is no file must name a subfolder.
  if (!file.empty() &&
      (IsExistingFolder(fs, file) || (!HasWildcards(file) && !IsExistingFile(fs, file)))) {
    ChangeCurrentFolder(fs, file);
    folder = folder.size() == 1 ? delimiter + file : folder + delimiter + file;
    file.clear();
  }
  if (result.drive == '\0') folder = root + folder;
  result.folder = std::move(folder);
  result.file = std::move(file);
  return result;
}

}  // namespace foliotally
