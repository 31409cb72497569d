// The names of a folder's subfolders, as the directory list shows them below the folder.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace foliotally {

// The subfolders of `folder` (links followed) that are neither hidden nor system, in the
// order the file system gives them; "." and ".." are left out. A folder that cannot be read
// has none.
std::vector<std::string> SubfolderNamesOf(FileSystem& fs, const std::string& folder);

}  // namespace foliotally
