// The directory search: the entries of one folder that match a wildcard pattern, filtered
// by attribute bits. Operations return 0 or an I/O error code and never throw; the end of
// the folder is code 18.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "folder_browser/wildcard.h"
#include "platform/file_system.h"

namespace foliotally {

// The attribute bits a search can skip: hidden, system, volume label, folder.
inline constexpr int32_t kSearchableAttributes = 0x1E;

// Which of the accepted entries a search hands to its caller.
enum class SearchYield {
  kEveryEntry,
  // Folders only, for callers that pass everything else by: entries the folder listing
  // already shows to be no folder are not even looked up, which spares a status and an
  // attribute query for each file.
  kFoldersOnly,
  // Every accepted entry, but those the folder listing shows to be regular files are not
  // looked up: their size and date read 0 and they never carry the read-only bit. For a
  // tree walk, which needs names and kinds only.
  kNamesAndKinds,
  // As kNamesAndKinds, and the hidden bit of such a file is not read either: the entry says
  // so (RawDirectoryEntry::hidden_unread), and the caller reads the bit when it opens the file.
  kNamesAndKindsHiddenLater,
};
// Both yields but kEveryEntry pass ".." by unread: their callers want the folders below,
// never the one above. "." is still looked up, so that a folder that can be listed but
// not searched shows as an entry whose status cannot be read.

// An open search: the folder being read and the pattern its names must match.
class DirectorySearch {
 public:
  DirectorySearch(std::unique_ptr<DirectoryStream> stream, std::string_view name_pattern,
                  SearchYield yield = SearchYield::kEveryEntry)
      : stream_(std::move(stream)), pattern_(name_pattern), yield_(yield) {}
  DirectoryStream& stream() { return *stream_; }
  const WildcardPattern& pattern() const { return pattern_; }
  SearchYield yield() const { return yield_; }
  // Whether any name matched the pattern so far, yielded or not.
  bool matched_any() const { return matched_any_; }
  void NoteMatch() { matched_any_ = true; }

 private:
  std::unique_ptr<DirectoryStream> stream_;
  WildcardPattern pattern_;
  SearchYield yield_;
  bool matched_any_ = false;
};

// The raw record of the entry the file system gave last (its name matched the pattern).
struct RawDirectoryEntry {
  std::string name;
  FileStatus status;
  // The errno of a status lookup that failed (0 when it did not); such an entry carries
  // the system bit only, and is yielded even by a folders-only search, so that a caller
  // asking for system entries learns that part of the folder could not be read.
  int status_error = 0;
  // The file's hidden bit was left for whoever opens it (kNamesAndKindsHiddenLater).
  bool hidden_unread = false;
};

// The caller's search record; it owns the open search, which closes when the record goes.
struct TSearchRec {
  int32_t EntryTime = 0;        // local last-write time as a packed DOS date-time; -1 when
                                // the year lies outside 1980-2107
  int32_t EntrySize = 0;        // low 32 bits of the size
  int32_t EntryAttributes = 0;  // attribute bits (kAttr... in platform/file_system.h)
  std::string EntryName;        // the name without folder, as stored
  int32_t ExcludedAttributes = 0;
  std::unique_ptr<DirectorySearch> SearchHandle;  // null when no search is open
  RawDirectoryEntry PlatformEntry;
};

// Opens a search on `pattern` (a folder and a wildcard name; without a root it is taken
// from the current folder) and fills `rec` with the first entry that carries none of the
// skipped bits: (NOT attributes) AND 0x1E. Returns 0, or the code of the failure: 3 for a
// missing folder, 2 when no name matches, 18 when every match is skipped, 5, 21... On
// failure the search is closed and EntryTime..EntryName keep their values. With
// SearchYield::kFoldersOnly the accepted entries that are not folders are passed over as
// well, but still count as matches: a folder without subfolders gives 18, not 2.
int SearchFirst(FileSystem& fs, const std::string& pattern, int32_t attributes, TSearchRec& rec,
                SearchYield yield = SearchYield::kEveryEntry);

// Fills `rec` with the next accepted entry. Returns 0, 18 at the end, or another code.
int SearchNext(TSearchRec& rec);

// Closes the search; harmless on a record with none open.
void SearchClose(TSearchRec& rec);

}  // namespace foliotally
