// Whether a path names an existing file or folder, asked through the file-system seam.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace foliotally {

// True for an existing regular file (links followed) whose last-write time packs into a DOS
// date-time (local years 1980 to 2107). Folders, devices, FIFOs and sockets are no files.
// A wildcard path is answered by the first entry it matches, whatever its attributes.
bool IsExistingFile(FileSystem& fs, const std::string& path);

// True for an existing folder (links followed). An empty path is no folder.
bool IsExistingFolder(FileSystem& fs, const std::string& path);

}  // namespace foliotally
