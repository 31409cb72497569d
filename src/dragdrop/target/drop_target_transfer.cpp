// Fetching the dropped data: at once, or on a thread of its own when the source allows an
// asynchronous transfer.
#include "dragdrop/target/custom_drop_target.h"

namespace foliotally::dragdrop {

bool TCustomDropTarget::FetchData(uint32_t effect) {
  ClearData();
  if (allowAsyncTransfer_ && StartAsyncTransfer(effect)) return true;
  return FetchDataNow();
}

// Starts the transfer when the data object offers one and agrees to it. False leaves the
// fetch to the caller's thread.
bool TCustomDropTarget::StartAsyncTransfer(uint32_t effect) {
  auto* async = dynamic_cast<IAsyncOperation*>(dataObject_.get());
  if (async == nullptr) return false;
  bool is_async = false;
  if (Failed(async->GetAsyncMode(is_async)) || !is_async) return false;
  if (Failed(async->StartOperation())) return false;
  try {
    if (OnStartAsyncTransfer) OnStartAsyncTransfer(*this);
    WaitForTransfer();
    transferring_ = true;
    transferThread_ = std::thread(
        [this, keep = dataObject_, async, effect] { RunTransfer(keep, async, effect); });
    return true;
  } catch (...) {
    transferring_ = false;
    async->EndOperation(E_UNEXPECTED, DROPEFFECT_NONE);
    return false;
  }
}

// The transfer thread: fetch, fire OnDrop here, tell the source, then hand the end back to
// the user-interface thread. The thread keeps its own reference to the data object and
// never writes the component's.
void TCustomDropTarget::RunTransfer(std::shared_ptr<IDataObject> data_object,
                                    IAsyncOperation* async, uint32_t effect) {
  HResult status = S_OK;
  try {
    FetchDataNow();
    FireDrop(TShiftState{}, TPoint{}, effect);
  } catch (...) {
    status = E_UNEXPECTED;
  }
  async->EndOperation(status, effect);
  std::weak_ptr<int> alive = alive_;
  platform_.PostToUserInterface([this, alive] {
    if (!alive.expired()) EndAsyncTransfer();
  });
  data_object.reset();
}

void TCustomDropTarget::EndAsyncTransfer() {
  WaitForTransfer();
  dataObject_.reset();
  currentTarget_ = nullptr;
  transferring_ = false;
  ClearData();
  if (OnEndAsyncTransfer) OnEndAsyncTransfer(*this);
}

}  // namespace foliotally::dragdrop
