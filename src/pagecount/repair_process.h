// qpdf's repair, run in a helper process of its own: the library itself never loads qpdf
// (a count starts without its dependencies), and a repair that loops or outlives the
// count's deadline is killed rather than waited for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pagecount/deadline.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

// The reason a count carries when the helper was needed but could not run: the count may
// differ from the one the helper would have given.
inline constexpr const char* kRepairHelperCouldNotRun = "repair helper could not run";

// The helper's file name, installed in the library's libexec folder.
inline constexpr const char* kRepairHelperName = "foliotally-repair";

// Counts the open regular file `fd` (not taken over, read from its start) with the helper at
// `helper`, within `deadline`. A helper that cannot be started, crashes or answers nonsense
// leaves the file damaged. Never throws.
CountResult CountInRepairHelper(const std::string& helper, int fd, const Deadline& deadline);

// Where the helper stands, seen from the library or program this code is linked into: in the
// libexec folder of its installation, or beside it in a build tree. Empty when there is no
// such file.
std::string FindRepairHelper();

// The one line the helper writes, and its reading: "<verdict> <pages>\n".
std::string FormatHelperAnswer(CountResult result);
CountResult ParseHelperAnswer(std::string_view line);

}  // namespace foliotally::pdf
