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

// The address space the helper sets itself before it reads a byte. A damaged file of
// 20,000 pages needs under 100 MiB; a file whose streams inflate without end runs into the
// bound within a second or two instead of growing until its time is up, and then counts as
// damaged.
inline constexpr uint64_t kRepairHelperAddressSpace = 512u << 20;

// True for the outcome of a helper that could not be started at all (none found, not
// executable, no process or descriptor left): not a verdict on the file.
bool RepairHelperCouldNotRun(const CountResult& result);

// One run of the helper: its answer, and the most memory it held (resident, in KiB; 0 when
// it never ran).
struct RepairRun {
  CountResult result;
  long peak_kib = 0;
};

// Counts the open regular file `fd` (not taken over) with the helper at `helper`, within
// `deadline`. The helper reads a file description of its own, so the caller's offset is
// never moved, and calls on one descriptor from several threads do not disturb each other.
// A helper that crashes, runs out of memory or answers nonsense leaves the file damaged;
// one that cannot be started gives kRepairHelperCouldNotRun. Never throws.
RepairRun RunRepairHelper(const std::string& helper, int fd, const Deadline& deadline);
CountResult CountInRepairHelper(const std::string& helper, int fd, const Deadline& deadline);

// The absolute path of the helper, found once when the code is loaded, from the real
// location of the library or program this code is linked into (never from the current
// folder or PATH): in the libexec folder of its installation, or beside it in a build tree.
// Empty when there is no such file.
std::string FindRepairHelper();

// The one line the helper writes, and its reading: "<verdict> <pages>\n", or
// "<verdict> <pages> 1\n" for a count qpdf had to repair the file to read.
std::string FormatHelperAnswer(CountResult result);
CountResult ParseHelperAnswer(std::string_view line);

}  // namespace foliotally::pdf
