// The outcome of one count, and the internal failure that carries a negative outcome out of
// the depths of the reader to the one place that turns it into a result.
#pragma once

#include <cstdint>

namespace foliotally::pdf {

enum class Verdict : uint8_t { kCounted, kUnreadable, kNotRegular, kNotPdf, kDamaged, kEncrypted };

struct CountResult {
  Verdict verdict = Verdict::kDamaged;
  int32_t pages = 0;  // meaningful only when verdict is kCounted
};

// The library's public result: the page count, or the negative code for the verdict.
int32_t ToResultCode(CountResult result);

// Thrown inside the reader; never leaves it.
struct ReadFailure {
  Verdict verdict;
  const char* why;  // a short reason, for debugging only
};

[[noreturn]] inline void Fail(Verdict verdict, const char* why) { throw ReadFailure{verdict, why}; }
[[noreturn]] inline void Damaged(const char* why) { Fail(Verdict::kDamaged, why); }

}  // namespace foliotally::pdf
