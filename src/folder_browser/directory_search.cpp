#include "folder_browser/directory_search.h"

#include <cerrno>

#include "folder_browser/dos_date_time.h"
#include "folder_browser/path_functions.h"
#include "platform/io_error.h"

namespace foliotally {
namespace {

constexpr int kErrorInvalidHandle = 6;

enum class Step { kFound, kEnd, kFailed };

// As much of the current entry's status as the search's caller asked for.
int StatusOfCurrent(DirectorySearch& search, FileStatus& status, bool& hidden_unread) {
  switch (search.yield()) {
    case SearchYield::kNamesAndKinds:
      return search.stream().KindOfCurrent(status);
    case SearchYield::kNamesAndKindsHiddenLater:
      return search.stream().KindOfCurrentLeavingHidden(status, hidden_unread);
    default:
      return search.stream().StatCurrent(status);
  }
}

// Reads on to the next entry whose name matches; an entry that vanished since the folder
// was read is passed over, and one whose status cannot be read is kept as a system entry,
// so it is never yielded by default.
Step NextMatch(DirectorySearch& search, RawDirectoryEntry& entry, int& error) {
  std::string name;
  for (;;) {
    if (!search.stream().Next(name, error)) return error == 0 ? Step::kEnd : Step::kFailed;
    if (!search.pattern().Matches(name)) continue;
    search.NoteMatch();
    if (search.yield() != SearchYield::kEveryEntry && name == "..") continue;
    const bool folders_only = search.yield() == SearchYield::kFoldersOnly;
    if (folders_only && search.stream().IsListedAsNonFolder()) continue;
    FileStatus status;
    bool hidden_unread = false;
    const int stat_error = StatusOfCurrent(search, status, hidden_unread);
    if (stat_error == ENOENT) continue;
    if (stat_error != 0) status = FileStatus{.kind = EntryKind::kOther, .attributes = kAttrSystem};
    if (folders_only && status.kind != EntryKind::kFolder && stat_error == 0) continue;
    entry.name = std::move(name);
    entry.status = status;
    entry.status_error = stat_error;
    entry.hidden_unread = hidden_unread;
    return Step::kFound;
  }
}

void FillRecord(TSearchRec& rec) {
  const RawDirectoryEntry& entry = rec.PlatformEntry;
  int32_t packed = -1;
  if (!PackDosDateTime(entry.status.modified_seconds, packed)) packed = -1;
  rec.EntryTime = packed;
  rec.EntrySize = static_cast<int32_t>(static_cast<uint32_t>(entry.status.size));
  rec.EntryAttributes = entry.status.attributes;
  rec.EntryName = entry.name;
}

// Skips entries with an excluded bit, starting from the current platform entry.
int AcceptFromCurrent(TSearchRec& rec) {
  while (rec.PlatformEntry.status.attributes & rec.ExcludedAttributes) {
    int error = 0;
    switch (NextMatch(*rec.SearchHandle, rec.PlatformEntry, error)) {
      case Step::kFound:
        break;
      case Step::kEnd:
        return kErrorNoMoreFiles;
      case Step::kFailed:
        return IoErrorCodeOf(error);
    }
  }
  FillRecord(rec);
  return 0;
}

// The folder a pattern names, made absolute against the current folder, so that the open
// search does not depend on later changes of the current folder.
int FolderOfPattern(FileSystem& fs, const std::string& pattern, std::string& folder) {
  folder = PathPartOf(pattern);
  if (!folder.empty() && folder.front() == '/') return 0;
  std::string current;
  if (const int error = fs.CurrentDirectory(current); error != 0) return error;
  folder = JoinFolderAndName(current, folder);
  return 0;
}

}  // namespace

int SearchFirst(FileSystem& fs, const std::string& pattern, int32_t attributes, TSearchRec& rec,
                SearchYield yield) {
  rec.ExcludedAttributes = ~attributes & kSearchableAttributes;
  rec.SearchHandle.reset();

  std::string folder;
  if (const int error = FolderOfPattern(fs, pattern, folder); error != 0)
    return IoErrorCodeOf(error, /*parent_missing=*/true);
  const std::string name_pattern = NamePartOf(pattern);
  if (name_pattern.empty()) return kErrorFileNotFound;

  std::unique_ptr<DirectoryStream> stream;
  if (const int error = fs.OpenDirectory(folder, stream); error != 0)
    return IoErrorCodeOf(error, /*parent_missing=*/true);
  auto search = std::make_unique<DirectorySearch>(std::move(stream), name_pattern, yield);

  // Like the platform search, a pattern that matches nothing is refused outright.
  RawDirectoryEntry first;
  int error = 0;
  switch (NextMatch(*search, first, error)) {
    case Step::kFound:
      break;
    case Step::kEnd:
      return search->matched_any() ? kErrorNoMoreFiles : kErrorFileNotFound;
    case Step::kFailed:
      return IoErrorCodeOf(error);
  }
  rec.PlatformEntry = std::move(first);
  rec.SearchHandle = std::move(search);
  const int code = AcceptFromCurrent(rec);
  if (code != 0) SearchClose(rec);
  return code;
}

int SearchNext(TSearchRec& rec) {
  if (!rec.SearchHandle) return kErrorInvalidHandle;
  int error = 0;
  switch (NextMatch(*rec.SearchHandle, rec.PlatformEntry, error)) {
    case Step::kFound:
      return AcceptFromCurrent(rec);
    case Step::kEnd:
      return kErrorNoMoreFiles;
    case Step::kFailed:
      break;
  }
  return IoErrorCodeOf(error);
}

void SearchClose(TSearchRec& rec) { rec.SearchHandle.reset(); }

}  // namespace foliotally
