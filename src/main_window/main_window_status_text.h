// The status bar's words for a count: a clicked file's pages, a damaged or invalid file, and
// the end of "Count All" or "Selected". Kept in one place so that what a count says at its
// end can grow without touching the counting itself.
#pragma once

#include <cstdint>
#include <string>

#include "pagecount/foliotally.h"

namespace foliotally {

// What one run of counting has met so far besides sound files.
struct CountTally {
  int32_t damaged = 0;              // counted as a viewer shows them
  int32_t invalid = 0;              // not countable
  bool repair_helper_said = false;  // the repair helper's failure was told in this run

  // Notes `count` (its verdict); true when it is the run's first count that needed the
  // repair helper and could not have it, which the user is then told of.
  bool Note(const FoliotallyCount& count);
};

// "1 file", "0 files", "12 files"; the same for "page".
std::string CountOf(int64_t number, const std::string& noun);

// "NAME has N pages", marked for a damaged file read as a viewer shows it.
std::string ClickStatusText(const std::string& name, const FoliotallyCount& count);

// "Counted N files." or, after Stop, "Stopped after N files.", followed by "D damaged,
// I invalid." when there are any.
std::string CountEndText(int32_t counted, const CountTally& tally, bool stopped = false);

// What the status bar says while the "Invalid pdf file." box is up about `name`.
std::string InvalidFileStatusText(const std::string& name, const FoliotallyCount& count);

// The notice given once a run when damaged files were read without the repair helper.
std::string RepairHelperNotice();

}  // namespace foliotally
