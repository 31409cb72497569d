#include "dragdrop/formats/pidl_list.h"

#include "dragdrop/formats/little_endian.h"

namespace foliotally::dragdrop {
namespace {

// An item holds at least its length and one byte.
constexpr uint16_t kSmallestItem = 3;

}  // namespace

size_t IdListSize(std::span<const uint8_t> bytes) {
  size_t at = 0;
  while (at + 2 <= bytes.size()) {
    const uint16_t length = ReadUInt16LE(bytes, at);
    if (length == 0) return at + 2;
    if (length < kSmallestItem || length > bytes.size() - at) return 0;
    at += length;
  }
  return 0;
}

TIdList JoinIdLists(std::span<const uint8_t> folder, std::span<const uint8_t> item) {
  TIdList joined;
  if (folder.size() > 2) joined.assign(folder.begin(), folder.end() - 2);
  joined.insert(joined.end(), item.begin(), item.end());
  return joined;
}

bool TPIDLList::Add(std::span<const uint8_t> bytes) {
  const size_t size = IdListSize(bytes);
  if (size == 0) return false;
  lists_.emplace_back(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size));
  NotifyChange();
  return true;
}

void TPIDLList::Clear() {
  lists_.clear();
  NotifyChange();
}

void TPIDLList::Assign(const TPIDLList& other) {
  if (&other != this) lists_ = other.lists_;
  NotifyChange();
}

std::span<const uint8_t> TPIDLList::Bytes(int32_t index) const {
  return lists_.at(static_cast<size_t>(index));
}

void TPIDLList::NotifyChange() {
  if (OnChange) OnChange();
}

}  // namespace foliotally::dragdrop
