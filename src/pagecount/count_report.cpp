#include "pagecount/count_report.h"

#include <cstdio>
#include <string_view>

#include "pagecount/repair_process.h"

namespace foliotally::pdf {

namespace {

int32_t VerdictOf(const CountResult& result) {
  if (result.verdict == Verdict::kTimedOut) return FOLIOTALLY_TIMED_OUT;
  if (result.verdict != Verdict::kCounted) return FOLIOTALLY_NOT_COUNTABLE;
  return result.recovered ? FOLIOTALLY_RECOVERED : FOLIOTALLY_SOUND;
}

}  // namespace

int32_t Report(const CountResult& result, FoliotallyCount* out) {
  const int32_t code = ToResultCode(result);
  if (out == nullptr) return code;
  out->pages = code;
  out->verdict = VerdictOf(result);
  const char* why = out->verdict == FOLIOTALLY_TIMED_OUT ? "timed out"
                    : result.why != nullptr              ? result.why
                                                         : "";
  if (out->verdict == FOLIOTALLY_SOUND) why = "";
  char object[24] = "";
  if (result.why_object >= 0 && out->verdict != FOLIOTALLY_TIMED_OUT)
    std::snprintf(object, sizeof object, " %lld", static_cast<long long>(result.why_object));
  // The helper's failure ends the reason, whatever else it says, and is said once.
  const bool helper_failed = RepairHelperCouldNotRun(result) && out->verdict != FOLIOTALLY_SOUND;
  if (helper_failed && std::string_view(why) == kRepairHelperCouldNotRun) why = "";
  const char* helper = helper_failed ? kRepairHelperCouldNotRun : "";
  const char* between = *why != '\0' && *helper != '\0' ? "; " : "";
  std::snprintf(out->reason, sizeof out->reason, "%s%s%s%s", why, object, between, helper);
  return code;
}

}  // namespace foliotally::pdf
