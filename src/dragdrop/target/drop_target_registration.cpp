// Registration of a drop target's controls, and finding the control under a drag.
#include "dragdrop/target/custom_drop_target.h"

namespace foliotally::dragdrop {

bool TCustomDropTarget::IsAncestorOf(TWinControl* ancestor, TWinControl* control) {
  for (TWinControl* up = platform_.ParentOf(control); up != nullptr; up = platform_.ParentOf(up)) {
    if (up == ancestor) return true;
  }
  return false;
}

// Descendants go right after their nearest registered ancestor, so that unregistering all,
// last first, meets them before their ancestors.
void TCustomDropTarget::InsertByAncestry(TWinControl* control) {
  for (int32_t i = targets_.Count() - 1; i >= 0; --i) {
    if (IsAncestorOf(targets_.Items(i), control)) {
      targets_.Insert(i + 1, control);
      return;
    }
  }
  targets_.Add(control);
}

void TCustomDropTarget::RegisterControl(TWinControl* control) {
  if (control != nullptr && targets_.IndexOf(control) >= 0) return;
  if (!multiTarget_ && !loading_) UnregisterControl(nullptr);
  if (control == nullptr) return;
  InsertByAncestry(control);
  platform_.WatchDestruction(control, this, [this](TWinControl* gone) { ControlDestroyed(gone); });
  if (platform_.IsRichEdit(control)) platform_.RevokeDragDrop(control);
  if (autoRegister_) {
    platform_.CreateRegistrationProxy(control, this, *this);
  } else {
    platform_.RegisterDragDrop(control, *this);
  }
}

void TCustomDropTarget::UnregisterControl(TWinControl* control) {
  if (control == nullptr) {
    while (targets_.Count() > 0) UnregisterControl(targets_.Items(targets_.Count() - 1));
    return;
  }
  if (targets_.IndexOf(control) < 0) return;
  if (control == currentTarget_) currentTarget_ = nullptr;
  targets_.Remove(control);
  platform_.StopWatching(control, this);
  if (autoRegister_) {
    platform_.DestroyRegistrationProxy(control, this);
  } else {
    platform_.RevokeDragDrop(control);
  }
}

// The control is going away: it leaves the list; its window, and with it the
// registration, goes with it.
void TCustomDropTarget::ControlDestroyed(TWinControl* control) {
  if (control == currentTarget_) currentTarget_ = nullptr;
  targets_.Remove(control);
}

void TCustomDropTarget::SetTarget(TWinControl* control) {
  if (control != nullptr && control == currentTarget_) return;
  if (control == nullptr) {
    UnregisterControl(nullptr);
    return;
  }
  if (multiTarget_ && !loading_) UnregisterControl(nullptr);
  RegisterControl(control);
}

TWinControl* TCustomDropTarget::FindTargetControl(TPoint screen) {
  for (TWinControl* control = platform_.ControlAt(screen); control != nullptr;
       control = platform_.ParentOf(control)) {
    if (targets_.IndexOf(control) >= 0) return control;
  }
  return nullptr;
}

}  // namespace foliotally::dragdrop
