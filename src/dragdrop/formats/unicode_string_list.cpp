#include <algorithm>

#include "dragdrop/formats/dragdrop_errors.h"
#include "dragdrop/formats/unicode_strings.h"
#include "errors/index_errors.h"

namespace foliotally::dragdrop {

void TUnicodeStringList::SetCapacity(int32_t capacity) {
  DragDropAssert(capacity >= count_);
  items_.resize(static_cast<size_t>(capacity));
}

std::u16string TUnicodeStringList::Get(int32_t index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)];
}

void TUnicodeStringList::Put(int32_t index, const std::u16string& text) {
  CheckIndex(index);
  Changing();
  items_[static_cast<size_t>(index)] = text;
  Changed();
}

// A full array grows by 4 up to a capacity of 8, by 16 up to 64, and by a quarter above.
void TUnicodeStringList::Grow() {
  int32_t capacity = GetCapacity();
  int32_t delta = capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
  SetCapacity(capacity + delta);
}

void TUnicodeStringList::Insert(int32_t index, const std::u16string& text) {
  CheckListIndex<EListError>(index, count_ + 1);  // inserting at the end is allowed
  Changing();
  if (count_ == GetCapacity()) Grow();
  auto at = items_.begin() + index;
  std::move_backward(at, items_.begin() + count_, items_.begin() + count_ + 1);
  *at = text;
  ++count_;
  Changed();
}

void TUnicodeStringList::Clear() {
  Changing();
  for (int32_t i = 0; i < count_; ++i) items_[static_cast<size_t>(i)].clear();
  count_ = 0;
  Changed();
}

void TUnicodeStringList::Delete(int32_t index) {
  CheckIndex(index);
  Changing();
  --count_;
  auto at = items_.begin() + index;
  std::move(at + 1, items_.begin() + count_ + 1, at);
  items_[static_cast<size_t>(count_)].clear();
  Changed();
}

}  // namespace foliotally::dragdrop
