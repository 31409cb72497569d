// The process's current folder, and the splitting of an assigned path text into drive,
// folder part and file part that the file and directory lists rely on.
#pragma once

#include <string>

#include "errors/errors.h"
#include "folder_browser/path_style.h"
#include "platform/file_system.h"

namespace foliotally {

// The current folder as a full path ("/" for the root). Empty when the system cannot name
// it (the folder was removed while current).
std::string CurrentFolderOf(FileSystem& fs);

// Enters `path`. Raises EInOutError with the mapped code: 2 "File not found" when the last
// name is missing, 3 "Invalid filename" when a folder above it is missing or a part is not a
// folder, 5 "File access denied", 21 for a medium that is not there...
void ChangeCurrentFolder(FileSystem& fs, const std::string& path);

struct SplitPath {
  char drive = '\0';  // drive letter, or NUL for a network path and on POSIX
  std::string folder;
  std::string file;  // empty, a wildcard pattern, or the name of an existing file
};

// Splits an assigned path text. The current folder is used as scratch and put back, also
// when an EInOutError from entering a folder passes to the caller.
//
// Windows style: "C:\docs\report.pdf" gives drive C, folder "\docs", file "report.pdf";
// a network path keeps its root in the folder part and gives drive NUL.
// POSIX style: there are no drives, so every path is read like a network path whose root
// is "/": the drive is NUL and the folder part is the full path ("/docs/report.pdf" gives
// folder "/docs", file "report.pdf"; "/docs/sub" gives folder "/docs/sub"; "/" gives "/").
// A relative text gives a folder part relative to the current folder, as on Windows.
SplitPath SplitPathText(FileSystem& fs, const PathStyle& style, const std::string& text);
inline SplitPath SplitPathText(FileSystem& fs, const std::string& text) {
  return SplitPathText(fs, PathStyle::Native(), text);
}

}  // namespace foliotally
