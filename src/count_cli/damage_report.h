// What foliotally-count says about a file that is not sound: a damaged file whose pages were
// recovered, one that could not be counted, one that ran out of time, and the repair helper
// that could not run.
#pragma once

#include <string>
#include <string_view>

#include "count_cli/file_to_count.h"

namespace foliotally::count_cli {

// A name as a message quotes it: in single quotes, its first 80 characters at most (see
// NameForMessage), so that a long name cannot bury the message.
std::string QuotedName(std::string_view path);

// The line for standard error about `count` of `path` (without the program's name), or
// empty for a sound count.
std::string DamageMessage(std::string_view path, const FileCount& count);

// `count` as --strict takes it: a recovered file is a damaged one, not counted, and keeps
// its reason.
FileCount Strict(const FileCount& count);

// Whether the count needed the repair helper and it could not run.
bool RepairHelperFailed(const FileCount& count);

// Said once per run when some count needed the repair helper and it could not run.
std::string RepairHelperWarning();

}  // namespace foliotally::count_cli
