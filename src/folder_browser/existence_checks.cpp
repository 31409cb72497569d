#include "folder_browser/existence_checks.h"

#include "folder_browser/directory_search.h"
#include "folder_browser/dos_date_time.h"
#include "folder_browser/path_functions.h"
#include "folder_browser/wildcard.h"

namespace foliotally {
namespace {

bool IsDatedRegularFile(const FileStatus& status) {
  int32_t packed = 0;
  return status.kind == EntryKind::kRegularFile && PackDosDateTime(status.modified_seconds, packed);
}

}  // namespace

bool IsExistingFile(FileSystem& fs, const std::string& path) {
  if (path.empty()) return false;
  if (HasWildcards(NamePartOf(path))) {
    TSearchRec rec;
    const bool found = SearchFirst(fs, path, kSearchableAttributes, rec) == 0;
    SearchClose(rec);
    return found && IsDatedRegularFile(rec.PlatformEntry.status);
  }
  // A plain name is looked up by the file system itself, which applies its own case
  // rules: a case-blind match on a case-sensitive disk would name a file that cannot be
  // opened under that name.
  FileStatus status;
  return fs.StatIgnoringHidden(path, status) == 0 && IsDatedRegularFile(status);
}

bool IsExistingFolder(FileSystem& fs, const std::string& path) {
  if (path.empty()) return false;
  FileStatus status;
  return fs.StatIgnoringHidden(path, status) == 0 && status.kind == EntryKind::kFolder;
}

}  // namespace foliotally
