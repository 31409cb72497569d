#include "main_window/main_window_status_text.h"

#include <cstring>

#include "pagecount/repair_process.h"

namespace foliotally {

bool CountTally::Note(const FoliotallyCount& count) {
  if (count.verdict == FOLIOTALLY_RECOVERED) ++damaged;
  if (count.pages < 0) ++invalid;
  if (repair_helper_said || std::strstr(count.reason, pdf::kRepairHelperCouldNotRun) == nullptr)
    return false;
  repair_helper_said = true;
  return true;
}

std::string CountOf(int64_t number, const std::string& noun) {
  return std::to_string(number) + " " + noun + (number == 1 ? "" : "s");
}

std::string ClickStatusText(const std::string& name, const FoliotallyCount& count) {
  std::string text = name + " has " + CountOf(count.pages, "page");
  if (count.verdict == FOLIOTALLY_RECOVERED) text += " (damaged file: read as a viewer shows it)";
  return text;
}

std::string CountEndText(int32_t counted, const CountTally& tally, bool stopped) {
  std::string text = (stopped ? "Stopped after " : "Counted ") + CountOf(counted, "file") + ".";
  if (tally.damaged > 0 || tally.invalid > 0)
    text += " " + std::to_string(tally.damaged) + " damaged, " + std::to_string(tally.invalid) +
            " invalid.";
  return text;
}

std::string InvalidFileStatusText(const std::string& name, const FoliotallyCount& count) {
  std::string text = name + " is not a valid PDF file";
  if (count.verdict == FOLIOTALLY_TIMED_OUT) return text + " (timed out)";
  if (count.reason[0] != '\0')
    text += " (" + std::string(count.reason, strnlen(count.reason, sizeof count.reason)) + ")";
  return text;
}

std::string RepairHelperNotice() {
  return "The repair helper could not run: damaged files were read without it, and their "
         "counts may differ from a repaired reading.";
}

}  // namespace foliotally
