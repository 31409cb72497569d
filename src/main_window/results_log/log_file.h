// Writing the log text to a file without ever leaving a half-written file behind, through
// the platform's atomic writer. No Qt here.
#pragma once

#include <string>

#include "platform/file_writing.h"

namespace foliotally {

// Writes `text` to `file_name` byte for byte, replacing an existing file whole (through a
// link, the file it names), keeping its permission bits. A target that may not be written
// (a read-only file, a folder, a FIFO or device, a missing folder, no rights) raises
// EFCreateError "Cannot create file "<full path>". <reason>"; a failure while writing
// raises EOutOfResources("Failed to Save Stream"). After either, the old file is unchanged
// and no temporary file is left.
void SaveLogFile(const std::string& file_name, const std::string& text, FileWriting& io);
void SaveLogFile(const std::string& file_name, const std::string& text);

// The platform's wording of an errno, without trailing spaces, line breaks and periods.
std::string SystemReason(int error);
// `path` made absolute against the current folder, "." and ".." resolved by name.
std::string FullPathName(const std::string& path);

}  // namespace foliotally
