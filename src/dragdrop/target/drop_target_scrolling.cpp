// Automatic scrolling while a drag rests near a control's edge, and the drag image.
#include <stdexcept>

#include "dragdrop/target/custom_drop_target.h"

namespace foliotally::dragdrop {

void TCustomDropTarget::PrepareAutoScroll() {
  scrollBars_ = {};
  if (!autoScroll_ || currentTarget_ == nullptr) return;
  scrollBars_ = platform_.ScrollBars(currentTarget_);
  if (scrollBars_.Empty()) return;
  scrollZone_ = ScrollZoneOf(platform_.ClientRect(currentTarget_), scrollBars_,
                             platform_.ScrollBarHeight(currentTarget_),
                             platform_.ScrollArrowWidth(currentTarget_));
}

// In the margin the timer runs, whatever the pointer's speed; the first step waits
// ScrollDelay. Out of the margin it stops. A drag source sends positions only while the
// pointer moves (X11 does), so a pointer that reached the margin fast and then rests sends
// nothing more: the speed is judged by each tick from where the pointer is then.
void TCustomDropTarget::UpdateScrollTimer(TPoint screen, uint32_t effect) {
  ScrollSpeedIsSlow(screen);  // keeps the speed samples current
  if ((effect & DROPEFFECT_SCROLL) == 0) {
    scrollTimer_->Stop();
    return;
  }
  if (scrollTimer_->Enabled()) return;
  scrollTimer_->SetInterval(ScrollDelay);
  scrollTimer_->Start();
}

TScrollDirections TCustomDropTarget::ScrollDirectionsNow() {
  if (currentTarget_ == nullptr || scrollZone_.Contains(lastPoint_)) return {};
  std::optional<TScrollInfo> vertical;
  std::optional<TScrollInfo> horizontal;
  if (scrollBars_.vertical)
    vertical = platform_.ScrollInfo(currentTarget_, TScrollBarKind::Vertical);
  if (scrollBars_.horizontal)
    horizontal = platform_.ScrollInfo(currentTarget_, TScrollBarKind::Horizontal);
  return ScrollDirectionsAt(lastPoint_, scrollZone_, vertical, horizontal);
}

// Nothing left to scroll (out of the margin, or the end reached) stops the timer; a pointer
// still moving fast waits for the next tick without a step.
void TCustomDropTarget::ScrollTimerTick() {
  scrollTimer_->Stop();
  int32_t interval = ScrollInterval;
  TScrollDirections scroll = ScrollDirectionsNow();
  if (scroll.Empty()) return;
  if (ScrollSpeedIsSlow(platform_.CursorPos())) {
    FireScroll(lastPoint_, scroll, interval);
    if (scroll.Empty() || currentTarget_ == nullptr) return;
    ShowImageNow(false);
    try {
      ScrollOneStep(scroll);
    } catch (...) {
      ShowImageNow(true);
      throw;
    }
    ShowImageNow(true);
  }
  scrollTimer_->SetInterval(interval);
  scrollTimer_->Start();
}

// One line per axis; up wins over down and left over right.
void TCustomDropTarget::ScrollOneStep(const TScrollDirections& scroll) {
  if (scroll.Contains(TScrollDirection::sdUp))
    platform_.ScrollLine(currentTarget_, TScrollBarKind::Vertical, false);
  else if (scroll.Contains(TScrollDirection::sdDown))
    platform_.ScrollLine(currentTarget_, TScrollBarKind::Vertical, true);
  if (scroll.Contains(TScrollDirection::sdLeft))
    platform_.ScrollLine(currentTarget_, TScrollBarKind::Horizontal, false);
  else if (scroll.Contains(TScrollDirection::sdRight))
    platform_.ScrollLine(currentTarget_, TScrollBarKind::Horizontal, true);
}

// ---- The drag image ----
// The source's image is drawn by the platform's helper where there is one. Where there is
// none (X11 and Wayland: the source draws its own image under the pointer), these steps
// do nothing.

void TCustomDropTarget::ImageEnter(IDataObject* data_object, TPoint screen, uint32_t effect) {
  if (!showImage_) return;
  dragImageHelper_ = platform_.CreateDragImageHelper();
  if (dragImageHelper_ && !dragImageHelper_->DragEnter(currentTarget_, data_object, screen, effect))
    dragImageHelper_.reset();
}

void TCustomDropTarget::ImageOver(TPoint screen, uint32_t effect) {
  if (dragImageHelper_ && !dragImageHelper_->DragOver(screen, effect))
    throw std::runtime_error("drag image helper failed");
}

void TCustomDropTarget::ImageLeave() {
  if (dragImageHelper_) dragImageHelper_->DragLeave();
}

void TCustomDropTarget::ImageDrop(IDataObject* data_object, TPoint screen, uint32_t effect) {
  if (dragImageHelper_) dragImageHelper_->Drop(data_object, screen, effect);
}

void TCustomDropTarget::ShowImageNow(bool show) {
  if (dragImageHelper_) dragImageHelper_->Show(show);
}

void TCustomDropTarget::SetShowImage(bool on) {
  showImage_ = on;
  ShowImageNow(on);
}

}  // namespace foliotally::dragdrop
