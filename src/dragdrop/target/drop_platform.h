// What the drop target asks of the windowing toolkit: its controls, their scroll bars,
// drop registration, the pointer, a clock, timers, the clipboard and the drag image. The
// component is written against this interface alone; the Qt side implements it, and tests
// answer it themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "dragdrop/formats/data_object.h"
#include "dragdrop/target/auto_scroll.h"
#include "dragdrop/target/drop_geometry.h"

namespace foliotally::dragdrop {

// A windowed control of the toolkit. The component knows it by identity only and never
// looks inside; the platform answers every question about it.
class TWinControl;

// The four calls a registered control's window makes while a drag is over it. Each one
// converts every failure into its result: nothing is thrown out of them.
class IDropTarget {
 public:
  virtual HResult DragEnter(std::shared_ptr<IDataObject> data_object, uint32_t key_state,
                            TPoint screen, uint32_t& effect) noexcept = 0;
  virtual HResult DragOver(uint32_t key_state, TPoint screen, uint32_t& effect) noexcept = 0;
  virtual HResult DragLeave() noexcept = 0;
  virtual HResult Drop(std::shared_ptr<IDataObject> data_object, uint32_t key_state, TPoint screen,
                       uint32_t& effect) noexcept = 0;

 protected:
  ~IDropTarget() = default;
};

// A timer of the toolkit's event loop; its tick comes on the user-interface thread.
class IDropTimer {
 public:
  virtual ~IDropTimer() = default;
  virtual void SetInterval(int32_t milliseconds) = 0;
  virtual int32_t Interval() const = 0;
  virtual void Start() = 0;
  virtual void Stop() = 0;
  virtual bool Enabled() const = 0;
};

// The helper that draws the source's drag image over the target. Each call answers
// whether it succeeded.
class IDragImageHelper {
 public:
  virtual ~IDragImageHelper() = default;
  virtual bool DragEnter(TWinControl* target, IDataObject* data_object, TPoint screen,
                         uint32_t effect) = 0;
  virtual bool DragOver(TPoint screen, uint32_t effect) = 0;
  virtual bool DragLeave() = 0;
  virtual bool Drop(IDataObject* data_object, TPoint screen, uint32_t effect) = 0;
  virtual bool Show(bool show) = 0;
};

enum class TScrollBarKind { Horizontal, Vertical };

class IDropPlatform {
 public:
  // ---- Controls ----
  // The control at a screen point, or null.
  virtual TWinControl* ControlAt(TPoint screen) = 0;
  virtual TWinControl* ParentOf(TWinControl* control) = 0;
  virtual TPoint ScreenToClient(TWinControl* control, TPoint screen) = 0;
  virtual TRect ClientRect(TWinControl* control) = 0;
  // A rich edit control registers itself for drops; the component revokes that.
  virtual bool IsRichEdit(TWinControl* control) = 0;
  // `on_destroyed` runs when the control is destroyed while `owner` still watches it.
  virtual void WatchDestruction(TWinControl* control, const void* owner,
                                std::function<void(TWinControl*)> on_destroyed) = 0;
  virtual void StopWatching(TWinControl* control, const void* owner) = 0;

  // ---- Registration ----
  // Makes the control's window deliver drag calls to `target`, and stops it. A failed
  // registration throws.
  virtual void RegisterDragDrop(TWinControl* control, IDropTarget& target) = 0;
  virtual void RevokeDragDrop(TWinControl* control) = 0;
  // A helper child of the control, tagged with `owner`, that keeps the control registered
  // with `target` through every recreation of its window; destroying it revokes.
  virtual void CreateRegistrationProxy(TWinControl* control, const void* owner,
                                       IDropTarget& target) = 0;
  // Destroys the last such helper of `owner` among the control's children, if any.
  virtual void DestroyRegistrationProxy(TWinControl* control, const void* owner) = 0;

  // ---- Scrolling ----
  virtual TScrollBars ScrollBars(TWinControl* control) = 0;
  // The height of a horizontal scroll bar and the width of its arrow button.
  virtual int32_t ScrollBarHeight(TWinControl* control) = 0;
  virtual int32_t ScrollArrowWidth(TWinControl* control) = 0;
  virtual std::optional<TScrollInfo> ScrollInfo(TWinControl* control, TScrollBarKind bar) = 0;
  // Scrolls one line back (towards the minimum) or on.
  virtual void ScrollLine(TWinControl* control, TScrollBarKind bar, bool forward) = 0;

  // ---- Pointer, time, timers, threads ----
  virtual TPoint CursorPos() = 0;
  // Milliseconds of a monotonic clock.
  virtual uint64_t TickCount() = 0;
  virtual std::unique_ptr<IDropTimer> CreateTimer(std::function<void()> on_tick) = 0;
  // Runs `action` on the user-interface thread, later; safe to call from any thread.
  virtual void PostToUserInterface(std::function<void()> action) = 0;

  // ---- Clipboard and drag image ----
  // The clipboard's data as a data object; throws when the clipboard cannot be read.
  virtual std::shared_ptr<IDataObject> ClipboardDataObject() = 0;
  // The shell's drag-image helper, or null where there is none.
  virtual std::unique_ptr<IDragImageHelper> CreateDragImageHelper() = 0;

 protected:
  ~IDropPlatform() = default;
};

}  // namespace foliotally::dragdrop
