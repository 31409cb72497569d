// The real file system of a POSIX system.
#pragma once

#include "platform/file_system.h"

namespace foliotally {

class PosixFileSystem final : public FileSystem {
 public:
  int OpenDirectory(const std::string& folder, std::unique_ptr<DirectoryStream>& stream) override;
  int Stat(const std::string& path, FileStatus& status) override;
  int ChangeDirectory(const std::string& path) override;
  int CurrentDirectory(std::string& path) override;
  int CaseRulesOf(const std::string& path, CaseRules& rules) override;
  std::vector<Volume> Volumes() override;
};

}  // namespace foliotally
