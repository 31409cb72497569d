#include "dragdrop/target/custom_drop_target.h"

#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/formats/data_format_registry.h"

namespace foliotally::dragdrop {

TCustomDropTarget::TCustomDropTarget(IDropPlatform& platform)
    : platform_(platform),
      speedGate_([&platform] { return platform.TickCount(); }),
      alive_(std::make_shared<int>(0)) {
  scrollTimer_ = platform_.CreateTimer([this] { ScrollTimerTick(); });
}

TCustomDropTarget::~TCustomDropTarget() {
  WaitForTransfer();
  dataObject_.reset();
  dragImageHelper_.reset();
  try {
    UnregisterControl(nullptr);
  } catch (...) {
    // A control that cannot be revoked any more has lost its window already.
  }
}

void TCustomDropTarget::WaitForTransfer() {
  if (transferThread_.joinable()) transferThread_.join();
}

void TCustomDropTarget::GetCompatibleFormats(const TDataFormatClass& cls,
                                             TClipboardFormats& formats) {
  TDataFormatMap::Instance().GetCompatibleFormats(cls, formats, TDataDirection::ddRead);
}

// ---- The drag calls ----

HResult TCustomDropTarget::DragEnter(std::shared_ptr<IDataObject> data_object, uint32_t key_state,
                                     TPoint screen, uint32_t& effect) noexcept {
  try {
    return DoDragEnter(data_object, key_state, screen, effect);
  } catch (...) {
    // While a transfer runs the data object is the transfer's; it is left alone.
    if (!transferring_) dataObject_.reset();
    effect = DROPEFFECT_NONE;
    return E_UNEXPECTED;
  }
}

HResult TCustomDropTarget::DoDragEnter(const std::shared_ptr<IDataObject>& data_object,
                                       uint32_t key_state, TPoint screen, uint32_t& effect) {
  if (enabled_) {
    ClearData();
    dataObject_ = data_object;
  }
  currentTarget_ = FindTargetControl(screen);
  if (currentTarget_ != nullptr) {
    lastPoint_ = platform_.ScreenToClient(currentTarget_, screen);
  } else {
    // Outside every registered control the screen point stands in for the client point;
    // scrolling is off then, so the point only reaches the events.
    lastPoint_ = screen;
    showImage_ = false;
    autoScroll_ = false;
  }
  speedGate_.Reset(screen);
  if (enabled_ && dataObject_ && AcceptsDataObject(*dataObject_)) {
    PrepareAutoScroll();
    if (getDataOnEnter_ && !FetchData(effect)) {
      dataObject_.reset();
      effect = DROPEFFECT_NONE;
      return DV_E_CLIPFORMAT;
    }
    const TShiftState shift = ShiftStateOf(key_state);
    effect = ComputeDropEffect(shift, lastPoint_, effect);
    FireEnter(shift, lastPoint_, effect);
    if ((effect & ~DROPEFFECT_SCROLL) == DROPEFFECT_NONE) dataObject_.reset();
  } else {
    dataObject_.reset();
    effect = DROPEFFECT_NONE;
  }
  ImageEnter(data_object.get(), screen, effect);
  return S_OK;
}

HResult TCustomDropTarget::DragOver(uint32_t key_state, TPoint screen, uint32_t& effect) noexcept {
  if (currentTarget_ == nullptr) {
    effect = DROPEFFECT_NONE;
    return E_UNEXPECTED;
  }
  try {
    return DoDragOver(key_state, screen, effect);
  } catch (...) {
    if (!transferring_) dataObject_.reset();
    effect = DROPEFFECT_NONE;
    return E_UNEXPECTED;
  }
}

HResult TCustomDropTarget::DoDragOver(uint32_t key_state, TPoint screen, uint32_t& effect) {
  const TPoint point = platform_.ScreenToClient(currentTarget_, screen);
  const TShiftState shift = ShiftStateOf(key_state);
  PrepareAutoScroll();
  effect = ComputeDropEffect(shift, point, effect);
  HResult result = DV_E_CLIPFORMAT;
  if (enabled_ && dataObject_) {
    FireDragOver(shift, point, effect);
    result = S_OK;
  }
  UpdateScrollTimer(screen, effect);
  ImageOver(screen, effect);
  lastPoint_ = point;
  return result;
}

HResult TCustomDropTarget::DragLeave() noexcept {
  try {
    scrollTimer_->Stop();
    if (!transferring_) {
      ClearData();
      dataObject_.reset();
    }
    ImageLeave();
    try {
      FireLeave();
    } catch (...) {
      currentTarget_ = nullptr;
      dragImageHelper_.reset();
      throw;
    }
    currentTarget_ = nullptr;
    dragImageHelper_.reset();
    return S_OK;
  } catch (...) {
    if (!transferring_) dataObject_.reset();
    return E_UNEXPECTED;
  }
}

HResult TCustomDropTarget::Drop(std::shared_ptr<IDataObject> data_object, uint32_t key_state,
                                TPoint screen, uint32_t& effect) noexcept {
  HResult result = E_UNEXPECTED;
  try {
    scrollTimer_->Stop();
    if (!enabled_ || !dataObject_) {
      effect = DROPEFFECT_NONE;
    } else {
      result = FetchAndFireDrop(key_state, screen, effect);
    }
    ImageDrop(data_object.get(), screen, effect);
  } catch (...) {
    effect = DROPEFFECT_NONE;
    result = E_UNEXPECTED;
  }
  EndDrop();
  return result;
}

HResult TCustomDropTarget::FetchAndFireDrop(uint32_t key_state, TPoint screen, uint32_t& effect) {
  const TShiftState shift = ShiftStateOf(key_state);
  const TPoint point =
      currentTarget_ != nullptr ? platform_.ScreenToClient(currentTarget_, screen) : screen;
  effect = ComputeDropEffect(shift, point, effect);
  try {
    if (getDataOnEnter_ || FetchData(effect)) {
      if (!transferring_) FireDrop(shift, point, effect);
    } else {
      effect = DROPEFFECT_NONE;
    }
    return S_OK;
  } catch (...) {
    // An OnDrop that raises ends the drop quietly: the user sees nothing.
    effect = DROPEFFECT_NONE;
    return E_UNEXPECTED;
  }
}

void TCustomDropTarget::EndDrop() {
  if (!transferring_) {
    try {
      ClearData();
    } catch (...) {
      // The lists are being emptied; nothing is left to report to.
    }
    dataObject_.reset();
    currentTarget_ = nullptr;
  }
  dragImageHelper_.reset();
}

// ---- Events ----

void TCustomDropTarget::FireEnter(TShiftState shift, TPoint point, uint32_t& effect) {
  if (OnEnter) OnEnter(*this, shift, point, effect);
}

void TCustomDropTarget::FireDragOver(TShiftState shift, TPoint point, uint32_t& effect) {
  if (OnDragOver) OnDragOver(*this, shift, point, effect);
}

void TCustomDropTarget::FireDrop(TShiftState shift, TPoint point, uint32_t& effect) {
  if (OnDrop) OnDrop(*this, shift, point, effect);
  if (effect == DROPEFFECT_NONE) return;
  const uint32_t reported = optimizedMove_ && effect == DROPEFFECT_MOVE ? DROPEFFECT_COPY : effect;
  if (WritePerformedDropEffect(reported)) effect = reported;
}

void TCustomDropTarget::FireLeave() {
  if (OnLeave) OnLeave(*this);
}

void TCustomDropTarget::FireScroll(TPoint point, TScrollDirections& scroll, int32_t& interval) {
  if (OnScroll) OnScroll(*this, point, scroll, interval);
}

// ---- Effects ----

uint32_t TCustomDropTarget::ComputeDropEffect(TShiftState shift, TPoint point, uint32_t effect) {
  const uint32_t allowed = effect & EffectMaskOf(dragTypes_);
  uint32_t result = OnGetDropEffect ? allowed : EffectChosenByKeys(shift, allowed);
  if (autoScroll_ && !scrollBars_.Empty()) {
    if (scrollZone_.Contains(point))
      result &= ~DROPEFFECT_SCROLL;
    else
      result |= DROPEFFECT_SCROLL;
  }
  if (OnGetDropEffect) OnGetDropEffect(*this, shift, point, result);
  return result;
}

// ---- Feedback values ----

uint32_t TCustomDropTarget::ReadPreferredDropEffect() {
  if (!dataObject_) return DROPEFFECT_NONE;
  TPreferredDropEffectClipboardFormat format;
  return format.GetData(*dataObject_) ? format.Value() : DROPEFFECT_NONE;
}

bool TCustomDropTarget::WriteFeedback(TCustomDWORDClipboardFormat& format, uint32_t effect) {
  if (!dataObject_) return false;
  format.SetValue(effect);
  TStgMedium medium;
  return format.SetData(*dataObject_, format.FormatEtc(), medium);
}

bool TCustomDropTarget::WritePerformedDropEffect(uint32_t effect) {
  TPerformedDropEffectClipboardFormat format;
  return WriteFeedback(format, effect);
}

bool TCustomDropTarget::WritePasteSucceeded(uint32_t effect) {
  TPasteSucceededClipboardFormat format;
  return WriteFeedback(format, effect);
}

// ---- Paste and Assign ----

uint32_t TCustomDropTarget::PasteFromClipboard() {
  // While a transfer runs the data object is the transfer's: this raises before it is
  // touched.
  ClearData();
  currentTarget_ = nullptr;
  dataObject_ = platform_.ClipboardDataObject();
  uint32_t effect = DROPEFFECT_NONE;
  try {
    effect = ReadPreferredDropEffect();
    if (!FetchData(effect)) effect = DROPEFFECT_NONE;
    FinishPaste(effect);
  } catch (...) {
    if (!transferring_) dataObject_.reset();
    throw;
  }
  if (!transferring_) dataObject_.reset();
  return effect;
}

void TCustomDropTarget::FinishPaste(uint32_t& effect) {
  FireDrop(TShiftState{}, TPoint{}, effect);
  if (effect != DROPEFFECT_NONE) WritePasteSucceeded(effect);
}

bool TCustomDropTarget::CanPasteFromClipboard() {
  const std::shared_ptr<IDataObject> clipboard = platform_.ClipboardDataObject();
  return clipboard && AcceptsDataObject(*clipboard);
}

void TCustomDropTarget::Assign(const TPersistent& source) {
  if (dynamic_cast<const TClipboard*>(&source) != nullptr) {
    PasteFromClipboard();
    return;
  }
  const auto* provider = dynamic_cast<const IDataObjectProvider*>(&source);
  if (provider == nullptr) {
    TDragDropComponent::Assign(source);
    return;
  }
  ClearData();
  dataObject_ = provider->DataObject();
  bool fetched = false;
  try {
    fetched = dataObject_ && FetchData(DROPEFFECT_COPY);
  } catch (...) {
    if (!transferring_) dataObject_.reset();
    throw;
  }
  if (!transferring_) dataObject_.reset();
  if (!fetched) TDragDropComponent::Assign(source);
}

}  // namespace foliotally::dragdrop
