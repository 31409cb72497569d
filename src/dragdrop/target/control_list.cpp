#include "dragdrop/target/control_list.h"

#include <algorithm>

#include "dragdrop/formats/dragdrop_errors.h"
#include "errors/index_errors.h"

namespace foliotally::dragdrop {

int32_t TControlList::Add(TWinControl* control) {
  items_.push_back(control);
  return Count() - 1;
}

void TControlList::Insert(int32_t index, TWinControl* control) {
  CheckListIndex<EListError>(index, Count() + 1);  // inserting at the end is allowed
  items_.insert(items_.begin() + index, control);
}

int32_t TControlList::IndexOf(const TWinControl* control) const {
  const auto at = std::find(items_.begin(), items_.end(), control);
  return at == items_.end() ? -1 : static_cast<int32_t>(at - items_.begin());
}

TWinControl* TControlList::Items(int32_t index) const {
  CheckListIndex<EListError>(index, Count());
  return items_[static_cast<size_t>(index)];
}

int32_t TControlList::Remove(const TWinControl* control) {
  const int32_t index = IndexOf(control);
  if (index >= 0) items_.erase(items_.begin() + index);
  return index;
}

}  // namespace foliotally::dragdrop
