// A file system for tests: the real one over real (temporary) folders, plus what Linux
// cannot produce on demand. Chosen entries can be reported hidden or system, chosen calls
// on a chosen path can fail with a chosen errno (access denied while running as root, a
// drive that is not ready), and the volume table and case rules can be replaced.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix_file_system.h"

namespace foliotally::test {

enum class FsCall { kOpenDirectory, kChangeDirectory, kStat, kCreate, kWrite, kSync, kRename };

// The system's calls for writing files, with chosen ones made to fail.
class FaultyFileWriting final : public FileWriting {
 public:
  // Makes `call` (kCreate, kWrite, kSync or kRename) fail with `error` on any file; a
  // write fails only once `after_bytes` bytes were written, so a file is left half done.
  void Fail(FsCall call, int error, size_t after_bytes = 0);
  // Each write takes at most `bytes` bytes, as a pipe or a signal can make it.
  void LimitWrites(size_t bytes) { chunk_ = bytes; }

  int ReadLink(const std::string& path, std::string& text) override;
  int StatTarget(const std::string& path, WriteTargetStatus& status) override;
  int CreateNew(const std::string& path, int& fd) override;
  int OpenExisting(const std::string& path, int& fd) override;
  void CopyOwnership(int fd, const WriteTargetStatus& from) override;
  int WriteSome(int fd, std::string_view data, size_t& written) override;
  int Sync(int fd) override;
  int Close(int fd) override;
  int Rename(const std::string& from, const std::string& to) override;
  int Remove(const std::string& path) override;
  void SyncFolder(const std::string& folder) override;

 private:
  FileWriting& real_ = SystemFileWriting();
  std::map<FsCall, int> failures_;
  size_t write_failure_after_ = 0;
  size_t written_ = 0;
  size_t chunk_ = SIZE_MAX;
};

class FakeFileSystem final : public FileSystem {
 public:
  // Paths given to the setters may be relative to the current folder; they are compared
  // after making them absolute and lexically normal.
  void MarkHidden(const std::string& path);
  void MarkSystem(const std::string& path);
  // Makes `call` on `path` fail with `error`. For kStat this covers entries of a folder
  // being read as well as direct queries.
  void FailCall(FsCall call, const std::string& path, int error);
  // Makes `folder` one that can be listed but not searched (read permission without
  // execute): its names can be read, but entering it, and every status or folder lookup
  // through it, fails with EACCES.
  void DenySearch(const std::string& folder);
  // Ends every failure set with FailCall or DenySearch.
  void ClearFailures() {
    failures_.clear();
    search_denied_.clear();
  }
  // Folders are read as by a file system without descriptors to share: a regular file's
  // hidden mark is then left for whoever opens the file, with no descriptor to open it from.
  void ShareNoDescriptors() { share_no_descriptors_ = true; }
  bool shares_no_descriptors() const { return share_no_descriptors_; }
  void SetVolumes(std::vector<Volume> volumes) { volumes_ = std::move(volumes); }
  void SetCaseRules(CaseRules rules) { case_rules_ = rules; }
  // Makes a call that writes files fail; see FaultyFileWriting::Fail.
  void FailWriting(FsCall call, int error, size_t after_bytes = 0) {
    writing_.Fail(call, error, after_bytes);
  }
  void LimitWrites(size_t bytes) { writing_.LimitWrites(bytes); }
  // How often a call was made (on any path) since construction.
  int CallCount(FsCall call) const;

  int OpenDirectory(const std::string& folder, std::unique_ptr<DirectoryStream>& stream) override;
  int Stat(const std::string& path, FileStatus& status) override;
  int ChangeDirectory(const std::string& path) override;
  int CurrentDirectory(std::string& path) override;
  int CaseRulesOf(const std::string& path, CaseRules& rules) override;
  std::vector<Volume> Volumes() override;
  FileWriting& Writing() override { return writing_; }

  // Applies the marks and failures to the status of the entry at `absolute_path`; used by
  // the folder streams this file system hands out.
  int Adjust(const std::string& absolute_path, int error, FileStatus& status) const;
  // Absolute, lexically normal, without a trailing delimiter (except for "/").
  std::string Normalize(const std::string& path);

 private:
  std::optional<int> FailureFor(FsCall call, const std::string& normalized) const;
  bool IsBehindDeniedSearch(const std::string& normalized) const;

  PosixFileSystem real_;
  std::set<std::string> hidden_;
  std::set<std::string> system_;
  std::set<std::string> search_denied_;
  std::map<std::pair<FsCall, std::string>, int> failures_;
  std::map<FsCall, int> calls_;
  std::optional<std::vector<Volume>> volumes_;
  std::optional<CaseRules> case_rules_;
  FaultyFileWriting writing_;
  bool share_no_descriptors_ = false;
};

}  // namespace foliotally::test
