#include "dragdrop/formats/string_list.h"

#include "dragdrop/formats/dragdrop_errors.h"
#include "errors/index_errors.h"

namespace foliotally::dragdrop {

void TStringList::CheckIndex(int32_t index, int32_t limit) const {
  CheckListIndex<EListError>(index, limit);
}

void TStringList::SetCapacity(int32_t capacity) {
  if (capacity > Count()) items_.reserve(static_cast<size_t>(capacity));
}

const std::string& TStringList::Get(int32_t index) const {
  CheckIndex(index, Count());
  return items_[static_cast<size_t>(index)];
}

void TStringList::Put(int32_t index, std::string text) {
  CheckIndex(index, Count());
  items_[static_cast<size_t>(index)] = std::move(text);
}

int32_t TStringList::Add(std::string text) {
  items_.push_back(std::move(text));
  return Count() - 1;
}

void TStringList::Insert(int32_t index, std::string text) {
  CheckIndex(index, Count() + 1);
  items_.insert(items_.begin() + index, std::move(text));
}

void TStringList::Delete(int32_t index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
}

void TStringList::Clear() { items_.clear(); }

void TStringList::Assign(const TPersistent& source) {
  if (const auto* list = dynamic_cast<const TStringList*>(&source)) {
    if (list == this) return;
    BeginUpdate();
    items_ = list->items_;
    EndUpdate();
    return;
  }
  TPersistent::Assign(source);
}

}  // namespace foliotally::dragdrop
