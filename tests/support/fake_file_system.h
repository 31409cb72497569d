// A file system for tests: the real one over real (temporary) folders, plus what Linux
// cannot produce on demand. Chosen entries can be reported hidden or system, chosen calls
// on a chosen path can fail with a chosen errno (access denied while running as root, a
// drive that is not ready), and the volume table and case rules can be replaced.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix_file_system.h"

namespace foliotally::test {

enum class FsCall { kOpenDirectory, kChangeDirectory, kStat };

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
  void SetVolumes(std::vector<Volume> volumes) { volumes_ = std::move(volumes); }
  void SetCaseRules(CaseRules rules) { case_rules_ = rules; }
  // How often a call was made (on any path) since construction.
  int CallCount(FsCall call) const;

  int OpenDirectory(const std::string& folder, std::unique_ptr<DirectoryStream>& stream) override;
  int Stat(const std::string& path, FileStatus& status) override;
  int ChangeDirectory(const std::string& path) override;
  int CurrentDirectory(std::string& path) override;
  int CaseRulesOf(const std::string& path, CaseRules& rules) override;
  std::vector<Volume> Volumes() override;

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
};

}  // namespace foliotally::test
