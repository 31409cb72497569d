// TCustomDropTarget: makes controls accept data dragged from other programs. It registers
// their windows for drops, answers the four drag calls, decides the effect shown and
// reported, scrolls a control while a drag rests near its edge, fetches the dragged data
// through its data formats and hands it to the application in OnDrop.
//
// No exception leaves a drag call: a failure ends the call quietly with effect none.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "dragdrop/target/async_operation.h"
#include "dragdrop/target/auto_scroll.h"
#include "dragdrop/target/control_list.h"
#include "dragdrop/target/drag_drop_component.h"
#include "dragdrop/target/drop_effects.h"
#include "dragdrop/target/drop_platform.h"

namespace foliotally::dragdrop {

class TCustomDropTarget;
class TCustomDWORDClipboardFormat;

using TDropTargetEvent = std::function<void(TCustomDropTarget& sender, TShiftState shift,
                                            TPoint point, uint32_t& effect)>;
using TDropTargetScrollEvent = std::function<void(TCustomDropTarget& sender, TPoint point,
                                                  TScrollDirections& scroll, int32_t& interval)>;
using TDropNotifyEvent = std::function<void(TCustomDropTarget& sender)>;

class TCustomDropTarget : public TDragDropComponent, public IDropTarget {
 public:
  explicit TCustomDropTarget(IDropPlatform& platform);
  ~TCustomDropTarget() override;

  std::string_view ClassName() const override { return "TCustomDropTarget"; }

  // ---- Properties ----
  TDragTypes DragTypes() const { return dragTypes_; }
  void SetDragTypes(TDragTypes types) { dragTypes_ = types; }
  bool GetDataOnEnter() const { return getDataOnEnter_; }
  void SetGetDataOnEnter(bool on) { getDataOnEnter_ = on; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on) { enabled_ = on; }
  bool ShowImage() const { return showImage_; }
  // Written during a drag, the image is shown or hidden at once.
  void SetShowImage(bool on);
  // The control under a drag in progress; null outside a drag.
  TWinControl* Target() const { return currentTarget_; }
  // Registers `control` in place of every other registered control; null unregisters all.
  void SetTarget(TWinControl* control);
  bool MultiTarget() const { return multiTarget_; }
  void SetMultiTarget(bool on) { multiTarget_ = on; }
  bool AutoRegister() const { return autoRegister_; }
  void SetAutoRegister(bool on) { autoRegister_ = on; }
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool on) { autoScroll_ = on; }
  bool OptimizedMove() const { return optimizedMove_; }
  void SetOptimizedMove(bool on) { optimizedMove_ = on; }
  bool AllowAsyncTransfer() const { return allowAsyncTransfer_; }
  void SetAllowAsyncTransfer(bool on) { allowAsyncTransfer_ = on; }
  // While the stored settings are applied, registering a control leaves the others.
  bool Loading() const { return loading_; }
  void SetLoading(bool on) { loading_ = on; }

  // ---- Events ----
  TDropTargetEvent OnEnter;
  TDropTargetEvent OnDragOver;
  TDropNotifyEvent OnLeave;
  TDropTargetEvent OnDrop;
  TDropTargetEvent OnGetDropEffect;
  TDropTargetScrollEvent OnScroll;
  TDropNotifyEvent OnStartAsyncTransfer;
  TDropNotifyEvent OnEndAsyncTransfer;

  // ---- The drag calls ----
  HResult DragEnter(std::shared_ptr<IDataObject> data_object, uint32_t key_state, TPoint screen,
                    uint32_t& effect) noexcept override;
  HResult DragOver(uint32_t key_state, TPoint screen, uint32_t& effect) noexcept override;
  HResult DragLeave() noexcept override;
  HResult Drop(std::shared_ptr<IDataObject> data_object, uint32_t key_state, TPoint screen,
               uint32_t& effect) noexcept override;

  // ---- Operations ----
  void RegisterControl(TWinControl* control);
  // Null unregisters every control, last first.
  void UnregisterControl(TWinControl* control);
  const TControlList& Targets() const { return targets_; }
  // Handles the clipboard's data like a drop; gives the effect.
  virtual uint32_t PasteFromClipboard();
  virtual bool CanPasteFromClipboard();
  // From the clipboard: a paste. From something that offers a data object: its data is
  // fetched as a copy. Anything else is refused.
  void Assign(const TPersistent& source) override;
  bool Transferring() const { return transferring_; }
  // Runs one scroll step now, as the scroll timer's tick does.
  void ScrollTimerTick();

 protected:
  virtual void FireEnter(TShiftState shift, TPoint point, uint32_t& effect);
  virtual void FireDragOver(TShiftState shift, TPoint point, uint32_t& effect);
  virtual void FireDrop(TShiftState shift, TPoint point, uint32_t& effect);
  virtual void FireLeave();
  virtual void FinishPaste(uint32_t& effect);
  virtual void FireScroll(TPoint point, TScrollDirections& scroll, int32_t& interval);
  virtual bool FetchData(uint32_t effect);
  virtual bool FetchDataNow() = 0;
  virtual void ClearData() = 0;
  virtual uint32_t ComputeDropEffect(TShiftState shift, TPoint point, uint32_t effect);
  virtual uint32_t ReadPreferredDropEffect();
  virtual bool WritePerformedDropEffect(uint32_t effect);
  virtual bool WritePasteSucceeded(uint32_t effect);
  virtual TWinControl* FindTargetControl(TPoint screen);
  virtual bool AcceptsDataObject(IDataObject& data_object) = 0;
  virtual void PrepareAutoScroll();

  void GetCompatibleFormats(const TDataFormatClass& cls, TClipboardFormats& formats) override;

  IDropPlatform& Platform() { return platform_; }
  // Waits for an asynchronous transfer's thread to end; a derived class calls it before it
  // frees what the transfer fills.
  void WaitForTransfer();
  // The data object of the drag, drop or paste under way; null otherwise.
  IDataObject* DataObject() const { return dataObject_.get(); }

 private:
  HResult DoDragEnter(const std::shared_ptr<IDataObject>& data_object, uint32_t key_state,
                      TPoint screen, uint32_t& effect);
  HResult DoDragOver(uint32_t key_state, TPoint screen, uint32_t& effect);
  HResult FetchAndFireDrop(uint32_t key_state, TPoint screen, uint32_t& effect);
  void EndDrop();
  void ControlDestroyed(TWinControl* control);
  void InsertByAncestry(TWinControl* control);
  bool IsAncestorOf(TWinControl* ancestor, TWinControl* control);

  // Scrolling and the drag image.
  bool ScrollSpeedIsSlow(TPoint screen) { return speedGate_.IsSlow(screen); }
  void UpdateScrollTimer(TPoint screen, uint32_t effect);
  TScrollDirections ScrollDirectionsNow();
  void ScrollOneStep(const TScrollDirections& scroll);
  void ImageEnter(IDataObject* data_object, TPoint screen, uint32_t effect);
  void ImageOver(TPoint screen, uint32_t effect);
  void ImageLeave();
  void ImageDrop(IDataObject* data_object, TPoint screen, uint32_t effect);
  void ShowImageNow(bool show);

  // Asynchronous transfer.
  bool StartAsyncTransfer(uint32_t effect);
  void RunTransfer(std::shared_ptr<IDataObject> data_object, IAsyncOperation* async,
                   uint32_t effect);
  void EndAsyncTransfer();
  bool WriteFeedback(TCustomDWORDClipboardFormat& format, uint32_t effect);

  IDropPlatform& platform_;
  TDragTypes dragTypes_;
  bool getDataOnEnter_ = false;
  bool enabled_ = true;
  bool showImage_ = true;
  bool multiTarget_ = false;
  bool autoRegister_ = true;
  bool autoScroll_ = true;
  bool optimizedMove_ = false;
  bool allowAsyncTransfer_ = false;
  bool loading_ = false;

  std::shared_ptr<IDataObject> dataObject_;
  TControlList targets_;
  TWinControl* currentTarget_ = nullptr;
  TPoint lastPoint_;
  bool transferring_ = false;

  std::unique_ptr<IDropTimer> scrollTimer_;
  TScrollBars scrollBars_;
  TRect scrollZone_;
  TScrollSpeedGate speedGate_;
  std::unique_ptr<IDragImageHelper> dragImageHelper_;

  std::thread transferThread_;
  // Tells a transfer end posted to the user-interface thread whether the component still
  // lives.
  std::shared_ptr<int> alive_;
};

}  // namespace foliotally::dragdrop
