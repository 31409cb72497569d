#include "dragdrop/formats/data_format_list.h"

#include <algorithm>

#include "dragdrop/formats/dragdrop_errors.h"
#include "errors/index_errors.h"

namespace foliotally::dragdrop {

int32_t TDataFormats::Add(TCustomDataFormat& format) {
  int32_t index = IndexOf(format);
  if (index >= 0) return index;
  items_.push_back(&format);
  return Count() - 1;
}

int32_t TDataFormats::IndexOf(const TCustomDataFormat& format) const {
  auto found = std::ranges::find(items_, &format);
  return found == items_.end() ? -1 : static_cast<int32_t>(found - items_.begin());
}

void TDataFormats::Remove(const TCustomDataFormat& format) { std::erase(items_, &format); }

TCustomDataFormat& TDataFormats::Items(int32_t index) const {
  CheckListIndex<EListError>(index, Count());
  return *items_[static_cast<size_t>(index)];
}

}  // namespace foliotally::dragdrop
