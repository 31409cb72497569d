#include "count_cli/damage_report.h"

#include <cstring>

#include "count_cli/result_format.h"
#include "count_cli/text_escaping.h"
#include "pagecount/repair_process.h"

namespace foliotally::count_cli {

namespace {

std::string_view ReasonIn(const FileCount& count) {
  return {count.reason, strnlen(count.reason, sizeof count.reason)};
}

}  // namespace

// Appended rather than "'" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) inside that operator+.
std::string QuotedName(std::string_view path) {
  return std::string("'").append(NameForMessage(path)).append("'");
}

std::string DamageMessage(std::string_view path, const FileCount& count) {
  const std::string_view reason = ReasonIn(count);
  switch (count.verdict) {
    case FOLIOTALLY_SOUND:
      return {};
    case FOLIOTALLY_RECOVERED:
      return QuotedName(path) + ": damaged file, " + std::to_string(count.pages) +
             (count.pages == 1 ? " page" : " pages") + " counted as a viewer shows it (" +
             std::string(reason) + ")";
    case FOLIOTALLY_TIMED_OUT:
      return QuotedName(path) + ": timed out (a longer --file-timeout may count it)";
    default:
      // The file's path as the other messages of the run give it, with the status.
      std::string text = std::string(path) + ": " + StatusOf(count);
      if (!reason.empty()) text.append(" (").append(reason).append(")");
      return text;
  }
}

FileCount Strict(const FileCount& count) {
  if (count.verdict != FOLIOTALLY_RECOVERED) return count;
  FileCount damaged = count;
  damaged.pages = FOLIOTALLY_DAMAGED;
  damaged.verdict = FOLIOTALLY_NOT_COUNTABLE;
  return damaged;
}

bool RepairHelperFailed(const FileCount& count) {
  return std::strstr(count.reason, pdf::kRepairHelperCouldNotRun) != nullptr &&
         count.verdict != FOLIOTALLY_SOUND;
}

std::string RepairHelperWarning() {
  return std::string("warning: ") + pdf::kRepairHelperCouldNotRun +
         " (missing, not executable, or no process could be started): damaged files were "
         "counted without its repair, and some counts may differ";
}

}  // namespace foliotally::count_cli
