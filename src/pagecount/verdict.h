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

struct CountResult {
  Verdict verdict = Verdict::kDamaged;
  int32_t pages = 0;          // meaningful only when verdict is kCounted
  const char* why = nullptr;  // for a negative verdict, a short reason when one is known
};

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
