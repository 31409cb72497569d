// The drop target's platform on Qt: widgets are the controls, Qt's drag events arrive
// through helper children of the registered widgets, scroll bars are the scroll areas'
// own, the clock is monotonic, and the clipboard is QClipboard. There is no drag-image
// helper: on X11 and Wayland the drag source draws its own image under the pointer.
#pragma once

#include <QMetaObject>
#include <QMimeData>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <utility>

#include "dragdrop/target/drop_platform.h"

namespace foliotally::dragdrop {

class TDropEventForwarder;

class TQtDropPlatform : public IDropPlatform {
 public:
  // Starts the drag-and-drop formats for the life of the process on first use.
  TQtDropPlatform();
  ~TQtDropPlatform();
  TQtDropPlatform(const TQtDropPlatform&) = delete;
  TQtDropPlatform& operator=(const TQtDropPlatform&) = delete;

  TWinControl* ControlAt(TPoint screen) override;
  TWinControl* ParentOf(TWinControl* control) override;
  TPoint ScreenToClient(TWinControl* control, TPoint screen) override;
  TRect ClientRect(TWinControl* control) override;
  bool IsRichEdit(TWinControl* control) override;
  void WatchDestruction(TWinControl* control, const void* owner,
                        std::function<void(TWinControl*)> on_destroyed) override;
  void StopWatching(TWinControl* control, const void* owner) override;

  void RegisterDragDrop(TWinControl* control, IDropTarget& target) override;
  void RevokeDragDrop(TWinControl* control) override;
  void CreateRegistrationProxy(TWinControl* control, const void* owner,
                               IDropTarget& target) override;
  void DestroyRegistrationProxy(TWinControl* control, const void* owner) override;

  TScrollBars ScrollBars(TWinControl* control) override;
  int32_t ScrollBarHeight(TWinControl* control) override;
  int32_t ScrollArrowWidth(TWinControl* control) override;
  std::optional<TScrollInfo> ScrollInfo(TWinControl* control, TScrollBarKind bar) override;
  void ScrollLine(TWinControl* control, TScrollBarKind bar, bool forward) override;

  TPoint CursorPos() override;
  uint64_t TickCount() override;
  std::unique_ptr<IDropTimer> CreateTimer(std::function<void()> on_tick) override;
  void PostToUserInterface(std::function<void()> action) override;

  std::shared_ptr<IDataObject> ClipboardDataObject() override;
  std::unique_ptr<IDragImageHelper> CreateDragImageHelper() override { return nullptr; }

  // The widget under the pointer while a drag event is handed on. Where the window system
  // hides global positions (Wayland), the control at the drag's point is found from it.
  void SetPointerWidget(QWidget* widget) { pointerWidget_ = widget; }

  // How many of a dropped or pasted list's items are read (all unless set): a program that
  // uses only the first keeps a list of a hundred thousand names from holding it up.
  size_t ItemsWanted() const { return itemsWanted_; }
  // Data read from the clipboard beforehand that a paste takes in place of the clipboard's
  // (null: the clipboard itself). Not owned.
  void SetClipboardData(const QMimeData* data) { clipboardData_ = data; }
  void SetItemsWanted(size_t count) { itemsWanted_ = count; }

 private:
  std::map<std::pair<QWidget*, const void*>, QMetaObject::Connection> watches_;
  std::map<QWidget*, QPointer<TDropEventForwarder>> directRegistrations_;
  QPointer<QWidget> pointerWidget_;
  size_t itemsWanted_ = SIZE_MAX;
  const QMimeData* clipboardData_ = nullptr;
};

}  // namespace foliotally::dragdrop
