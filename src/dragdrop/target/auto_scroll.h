// The rules of automatic scrolling while a drag rests near the edge of a control: where
// the scroll margin lies, whether the pointer is slow enough, and which way a step goes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "dragdrop/target/drop_effects.h"
#include "dragdrop/target/drop_geometry.h"

namespace foliotally::dragdrop {

// Module settings, in milliseconds and pixels per second.
inline constexpr int32_t ScrollDelay = 50;
inline constexpr int32_t ScrollInterval = 50;
inline constexpr int32_t ScrollMaxSpeed = 20;
inline constexpr int32_t ScrollSampleTime = 10;

enum class TScrollDirection { sdUp, sdDown, sdLeft, sdRight };
using TScrollDirections = TEnumSet<TScrollDirection>;

struct TScrollBars {
  bool horizontal = false;
  bool vertical = false;
  bool Empty() const { return !horizontal && !vertical; }
};

// One scroll bar's state in the platform's terms: the range runs from `min` to `max`, the
// page counts in it, so the last position is max - page + 1.
struct TScrollInfo {
  int32_t min = 0;
  int32_t max = 0;
  int32_t page = 0;
  int32_t pos = 0;
};

// The part of the client area outside which the scroll margin lies: the margin is twice
// the scroll-bar size deep at each edge a scroll bar scrolls.
TRect ScrollZoneOf(TRect client, TScrollBars bars, int32_t scroll_bar_height,
                   int32_t scroll_arrow_width);

// The directions one scroll step takes for a pointer at `point` outside `zone`: towards
// the edge it is beyond, while the bar can still move that way. A bar that is absent is
// given as nothing.
TScrollDirections ScrollDirectionsAt(TPoint point, TRect zone,
                                     const std::optional<TScrollInfo>& vertical,
                                     const std::optional<TScrollInfo>& horizontal);

// Whether the pointer moves at most ScrollMaxSpeed pixels per second, measured over the
// last 10 to 20 ms on a monotonic millisecond clock.
class TScrollSpeedGate {
 public:
  using Clock = std::function<uint64_t()>;

  explicit TScrollSpeedGate(Clock clock) : clock_(std::move(clock)) {}

  // Starts measuring afresh from `screen`; answers slow.
  bool Reset(TPoint screen);
  bool IsSlow(TPoint screen);

 private:
  struct Sample {
    uint64_t tick = 0;
    TPoint point;
  };

  Clock clock_;
  Sample sample_;
  std::optional<Sample> next_;
};

}  // namespace foliotally::dragdrop
