// The time one count may take. The reader looks at it between steps of work; a helper
// process that runs longer is killed when it passes.
#pragma once

#include <chrono>
#include <cstdint>

#include "pagecount/verdict.h"

namespace foliotally::pdf {

// A few seconds: far more than any real file needs (the median takes microseconds, a
// damaged 60 MB file under repair a few seconds), little enough that a hostile file cannot
// hold up a batch or freeze a window for long.
inline constexpr uint32_t kDefaultTimeLimitMs = 5000;

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  // `limit_ms` from now; 0 selects the default bound.
  explicit Deadline(uint32_t limit_ms = 0)
      : end_(Clock::now() + std::chrono::milliseconds(limit_ms ? limit_ms : kDefaultTimeLimitMs)) {}

  bool Passed() const { return Clock::now() >= end_; }
  // Ends the count as timed out once the deadline has passed.
  void Check() const {
    if (Passed()) Fail(Verdict::kTimedOut, "time limit reached");
  }
  // Whole milliseconds left, rounded up; 0 once passed.
  int64_t RemainingMs() const {
    const auto left = end_ - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    return std::chrono::ceil<std::chrono::milliseconds>(left).count();
  }

 private:
  Clock::time_point end_;
};

}  // namespace foliotally::pdf
