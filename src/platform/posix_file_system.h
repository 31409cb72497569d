// The real file system of a POSIX system.
#pragma once

#include "platform/dos_attribute_source.h"
#include "platform/file_system.h"
#include "platform/mount_watch.h"

namespace foliotally {

class PosixFileSystem final : public FileSystem {
 public:
  int OpenDirectory(const std::string& folder, std::unique_ptr<DirectoryStream>& stream) override;
  int Stat(const std::string& path, FileStatus& status) override;
  int StatIgnoringHidden(const std::string& path, FileStatus& status) override;
  int ChangeDirectory(const std::string& path) override;
  int CurrentDirectory(std::string& path) override;
  int CaseRulesOf(const std::string& path, CaseRules& rules) override;
  // The volume table is read again only after something was mounted or unmounted.
  std::vector<Volume> Volumes() override;

 private:
  MountWatch mount_watch_;
  std::vector<Volume> volumes_;
};

// Whether the open file `fd` carries the hidden bit where `source` keeps it.
bool OpenFileIsHidden(int fd, DosAttributeSource source);

}  // namespace foliotally
