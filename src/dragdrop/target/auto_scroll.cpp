#include "dragdrop/target/auto_scroll.h"

#include <algorithm>

namespace foliotally::dragdrop {

TRect ScrollZoneOf(TRect client, TScrollBars bars, int32_t scroll_bar_height,
                   int32_t scroll_arrow_width) {
  TRect zone = client;
  if (bars.vertical) {
    zone.top += 2 * scroll_bar_height;
    zone.bottom -= 2 * scroll_bar_height;
  }
  if (bars.horizontal) {
    zone.left += 2 * scroll_arrow_width;
    zone.right -= 2 * scroll_arrow_width;
  }
  return zone;
}

namespace {

constexpr int64_t kFar = 1'000'000;

bool CanGoBack(const TScrollInfo& info) { return info.pos > info.min; }
// The last position is max - page + 1, so another step fits while pos + page <= max.
bool CanGoOn(const TScrollInfo& info) { return int64_t{info.pos} + info.page <= int64_t{info.max}; }

}  // namespace

TScrollDirections ScrollDirectionsAt(TPoint point, TRect zone,
                                     const std::optional<TScrollInfo>& vertical,
                                     const std::optional<TScrollInfo>& horizontal) {
  TScrollDirections scroll;
  if (vertical) {
    if (point.y < zone.top && CanGoBack(*vertical)) scroll.Include(TScrollDirection::sdUp);
    if (point.y > zone.bottom && CanGoOn(*vertical)) scroll.Include(TScrollDirection::sdDown);
  }
  if (horizontal) {
    if (point.x < zone.left && CanGoBack(*horizontal)) scroll.Include(TScrollDirection::sdLeft);
    if (point.x > zone.right && CanGoOn(*horizontal)) scroll.Include(TScrollDirection::sdRight);
  }
  return scroll;
}

bool TScrollSpeedGate::Reset(TPoint screen) {
  sample_ = {clock_(), screen};
  next_.reset();
  return true;
}

bool TScrollSpeedGate::IsSlow(TPoint screen) {
  const uint64_t now = clock_();
  bool slow = true;
  if (now - sample_.tick >= ScrollSampleTime) {
    // Squared speed in pixels per second, rounded to the nearest, in 64 bits: with the
    // distances and the age held below a million the products cannot overflow, so a fast
    // sweep is never taken for a slow one.
    const int64_t dx = std::clamp<int64_t>(int64_t{sample_.point.x} - screen.x, -kFar, kFar);
    const int64_t dy = std::clamp<int64_t>(int64_t{sample_.point.y} - screen.y, -kFar, kFar);
    const int64_t age = std::min<int64_t>(static_cast<int64_t>(now - sample_.tick), kFar);
    const int64_t speed2 = ((dx * dx + dy * dy) * 1'000'000 + age * age / 2) / (age * age);
    slow = speed2 <= int64_t{ScrollMaxSpeed} * ScrollMaxSpeed;
    if (!next_) next_ = Sample{now, screen};
  }
  if (next_ && now - next_->tick >= ScrollSampleTime) {
    sample_ = *next_;
    next_ = Sample{now, screen};
  }
  return slow;
}

}  // namespace foliotally::dragdrop
