// A drop platform for tests: controls are plain records, the clock and the timer are
// driven by the test, and work posted to the user-interface thread waits in a queue.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>

#include "dragdrop/target/drop_platform.h"

namespace foliotally::dragdrop {

struct FakeControl {
  FakeControl* parent = nullptr;
  TPoint origin;  // screen position of the client area
  TRect client{0, 0, 100, 200};
  TScrollBars bars;
  TScrollInfo vertical{0, 99, 10, 0};
  int linesUp = 0;
  int linesDown = 0;

  TWinControl* Id() { return reinterpret_cast<TWinControl*>(this); }
  static FakeControl& Of(TWinControl* control) { return *reinterpret_cast<FakeControl*>(control); }
};

class FakeTimer : public IDropTimer {
 public:
  void SetInterval(int32_t ms) override { interval = ms; }
  int32_t Interval() const override { return interval; }
  void Start() override { enabled = true; }
  void Stop() override { enabled = false; }
  bool Enabled() const override { return enabled; }
  int32_t interval = 0;
  bool enabled = false;
};

class FakeDropPlatform : public IDropPlatform {
 public:
  TWinControl* ControlAt(TPoint) override { return under ? under->Id() : nullptr; }
  TWinControl* ParentOf(TWinControl* c) override {
    FakeControl* parent = FakeControl::Of(c).parent;
    return parent ? parent->Id() : nullptr;
  }
  TPoint ScreenToClient(TWinControl* c, TPoint p) override {
    return {p.x - FakeControl::Of(c).origin.x, p.y - FakeControl::Of(c).origin.y};
  }
  TRect ClientRect(TWinControl* c) override { return FakeControl::Of(c).client; }
  bool IsRichEdit(TWinControl*) override { return false; }
  void WatchDestruction(TWinControl* c, const void*, std::function<void(TWinControl*)> f) override {
    onDestroyed[c] = std::move(f);
  }
  void StopWatching(TWinControl* c, const void*) override { onDestroyed.erase(c); }
  void RegisterDragDrop(TWinControl* c, IDropTarget&) override { registered.insert(c); }
  void RevokeDragDrop(TWinControl* c) override { registered.erase(c); }
  void CreateRegistrationProxy(TWinControl* c, const void*, IDropTarget&) override {
    registered.insert(c);
    order.push_back(c);
  }
  void DestroyRegistrationProxy(TWinControl* c, const void*) override { registered.erase(c); }
  TScrollBars ScrollBars(TWinControl* c) override { return FakeControl::Of(c).bars; }
  int32_t ScrollBarHeight(TWinControl*) override { return 16; }
  int32_t ScrollArrowWidth(TWinControl*) override { return 16; }
  std::optional<TScrollInfo> ScrollInfo(TWinControl* c, TScrollBarKind bar) override {
    if (bar == TScrollBarKind::Vertical) return FakeControl::Of(c).vertical;
    return std::nullopt;
  }
  void ScrollLine(TWinControl* c, TScrollBarKind, bool forward) override {
    FakeControl& control = FakeControl::Of(c);
    (forward ? control.linesDown : control.linesUp)++;
    control.vertical.pos += forward ? 1 : -1;
  }
  TPoint CursorPos() override { return cursor; }
  uint64_t TickCount() override { return now; }
  std::unique_ptr<IDropTimer> CreateTimer(std::function<void()>) override {
    auto owned = std::make_unique<FakeTimer>();
    timer = owned.get();
    return owned;
  }
  void PostToUserInterface(std::function<void()> action) override {
    std::lock_guard lock(mutex);
    posted.push_back(std::move(action));
    postedChanged.notify_all();
  }
  std::shared_ptr<IDataObject> ClipboardDataObject() override { return clipboard; }
  std::unique_ptr<IDragImageHelper> CreateDragImageHelper() override { return nullptr; }

  // The control's window goes, and the control tells whoever watches it.
  void Destroy(TWinControl* control) {
    registered.erase(control);
    if (auto watch = onDestroyed.find(control); watch != onDestroyed.end()) watch->second(control);
  }

  // Waits until work was posted, then runs it here.
  void RunPosted() {
    std::unique_lock lock(mutex);
    postedChanged.wait(lock, [this] { return !posted.empty(); });
    auto work = std::move(posted);
    posted.clear();
    lock.unlock();
    for (auto& action : work) action();
  }

  FakeControl* under = nullptr;
  TPoint cursor;
  uint64_t now = 1000;
  FakeTimer* timer = nullptr;
  std::set<TWinControl*> registered;
  std::vector<TWinControl*> order;
  std::map<TWinControl*, std::function<void(TWinControl*)>> onDestroyed;
  std::shared_ptr<IDataObject> clipboard;
  std::mutex mutex;
  std::condition_variable postedChanged;
  std::deque<std::function<void()>> posted;
};

}  // namespace foliotally::dragdrop
