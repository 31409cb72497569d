// The outcome of one count, and the internal failure that carries a negative outcome out of
// the depths of the reader to the one place that turns it into a result.
#pragma once

#include <cstdint>

namespace foliotally::pdf {

// kTimedOut: the count ran out of time; the library reports it as a damaged file.
enum class Verdict : uint8_t {
  kCounted,
  kUnreadable,
  kNotRegular,
  kNotPdf,
  kDamaged,
  kEncrypted,
  kTimedOut
};

// A count (kCounted) is either sound, read from the file's own cross-reference data and
// page tree as written, or recovered: read from a reconstruction of a damaged file, the
// count a viewer shows, with `why` saying what was rebuilt. A recovered count is never 0:
// a damaged file in which no page is found is not countable.
struct CountResult {
  Verdict verdict = Verdict::kDamaged;
  int32_t pages = 0;          // meaningful only when verdict is kCounted
  const char* why = nullptr;  // a short reason (a string literal) when one is known
  bool recovered = false;     // for kCounted: read from a reconstruction
  // When not negative, the reason goes on with this object number ("... after object 12").
  int64_t why_object = -1;
  // The repair helper was needed but could not run (see kRepairHelperCouldNotRun).
  bool repair_helper_missing = false;
};

// `found`, a count read from a reconstruction, marked as such with the reason `why` (a
// reason already given is kept: it names the first repair). No page found is no count.
inline CountResult Recovered(CountResult found, const char* why) {
  if (found.verdict != Verdict::kCounted) return found;
  if (found.pages == 0) return {Verdict::kDamaged, 0, "no page found"};
  found.recovered = true;
  if (found.why == nullptr) found.why = why;
  return found;
}

// The library's public result: the page count, or the negative code for the verdict.
int32_t ToResultCode(CountResult result);

// Thrown inside the reader; never leaves it.
struct ReadFailure {
  Verdict verdict;
  const char* why;  // a short reason, a string literal
};

[[noreturn]] inline void Fail(Verdict verdict, const char* why) { throw ReadFailure{verdict, why}; }
[[noreturn]] inline void Damaged(const char* why) { Fail(Verdict::kDamaged, why); }

// Runs `step`, which damage in the file may defeat: true when it ran through, false when it
// failed on damage (or encryption). An I/O error or the end of the count's time still ends
// the whole count.
template <typename Step>
bool SurvivesDamage(Step&& step) {
  try {
    step();
    return true;
  } catch (const ReadFailure& f) {
    if (f.verdict == Verdict::kUnreadable || f.verdict == Verdict::kTimedOut) throw;
    return false;
  }
}

}  // namespace foliotally::pdf
