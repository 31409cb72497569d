// The seam between the program and the operating system's file system. Every file-system
// call of the folder browser goes through a FileSystem passed in by the caller, so tests
// can wrap a real temporary folder and inject what Linux cannot produce on demand (hidden
// and system entries, access denied, a drive that is not ready).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_writing.h"
#include "platform/folder_descriptor.h"
#include "platform/volume.h"

namespace foliotally {

// Attribute bits of a directory entry, in the values the program's data model uses.
inline constexpr int32_t kAttrReadOnly = 0x01;
inline constexpr int32_t kAttrHidden = 0x02;
inline constexpr int32_t kAttrSystem = 0x04;
inline constexpr int32_t kAttrVolumeId = 0x08;
inline constexpr int32_t kAttrDirectory = 0x10;
inline constexpr int32_t kAttrArchive = 0x20;

// What an entry is after following symbolic links.
enum class EntryKind { kRegularFile, kFolder, kOther };

// The status of one entry, links followed. `attributes` holds the bits above: folder for a
// folder, archive for a regular file, system for anything else (devices, FIFOs, sockets,
// dangling links), read-only when nobody may write, hidden only where the file system
// records DOS attributes.
struct FileStatus {
  EntryKind kind = EntryKind::kOther;
  int32_t attributes = 0;
  int64_t size = 0;
  int64_t modified_seconds = 0;  // last write, seconds since the epoch (UTC)
  uint64_t device = 0;
  uint64_t inode = 0;
};

// An open folder read entry by entry, in the file system's order, "." and ".." included.
// Names come first and cost nothing more; the status of the entry is only looked up when
// asked for, so a caller can skip names that do not interest it.
class DirectoryStream {
 public:
  virtual ~DirectoryStream() = default;
  // Moves to the next entry. Returns true with `name` set; false at the end of the folder
  // (error 0) or when reading fails (error holds the errno value).
  virtual bool Next(std::string& name, int& error) = 0;
  // The status of the entry Next returned last. Returns 0 or an errno value; ENOENT means
  // the entry went away since it was read.
  virtual int StatCurrent(FileStatus& status) = 0;
  // True when the folder listing itself shows that the entry Next returned last is neither
  // a folder nor a link (which may lead to one), so a reader after folders only can pass it
  // by without asking for its status. False when the listing does not tell.
  virtual bool IsListedAsNonFolder() { return false; }
  // Like StatCurrent for a caller that needs an entry's kind and attribute bits only (a
  // tree walk): where the listing shows the entry to be a regular file, no status lookup
  // is made, and its size, date and read-only bit are left out.
  virtual int KindOfCurrent(FileStatus& status) { return StatCurrent(status); }
  // Like KindOfCurrent, but where the listing shows a regular file its hidden bit is not
  // read either, and `hidden_unread` is set: whoever opens the file then reads the bit from
  // it (FolderDescriptor::IsHidden), one lookup of its name instead of two.
  virtual int KindOfCurrentLeavingHidden(FileStatus& status, bool& hidden_unread) {
    hidden_unread = false;
    return KindOfCurrent(status);
  }
  // A descriptor of the open folder that outlives the stream, for opening its entries
  // relative to it; null where the file system has none to give.
  virtual std::shared_ptr<const FolderDescriptor> ShareDescriptor() { return nullptr; }
};

// How a file system compares names.
struct CaseRules {
  bool preserves_case = true;
  bool case_sensitive = true;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens `folder` for reading. Returns 0 with `stream` set, or an errno value.
  virtual int OpenDirectory(const std::string& folder,
                            std::unique_ptr<DirectoryStream>& stream) = 0;
  // Status of `path`, links followed. Returns 0 or an errno value.
  virtual int Stat(const std::string& path, FileStatus& status) = 0;
  // Like Stat, except that the hidden bit may be left out: for callers that only ask what
  // kind of entry a path names, or its date, and so need not pay for the file system's
  // DOS attributes.
  virtual int StatIgnoringHidden(const std::string& path, FileStatus& status) {
    return Stat(path, status);
  }
  // The process's current folder. Returns 0 or an errno value.
  virtual int ChangeDirectory(const std::string& path) = 0;
  virtual int CurrentDirectory(std::string& path) = 0;
  // How the file system holding `path` compares names. Returns 0 or an errno value.
  virtual int CaseRulesOf(const std::string& path, CaseRules& rules) = 0;
  // The mounted volumes worth showing to a user, pseudo file systems left out. Listing them
  // never touches a volume (a hung network mount must not block the caller).
  virtual std::vector<Volume> Volumes() = 0;
  // The calls that write files: the system's own unless a test puts in failing ones.
  virtual FileWriting& Writing() { return SystemFileWriting(); }
};

}  // namespace foliotally
