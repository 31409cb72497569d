// Shell item ID lists. An ID list is a chain of items, each a 16-bit little-endian length
// (counting itself) followed by that many bytes less two, ended by a 16-bit zero. A list
// read from a payload is measured before it is copied: an item that claims fewer than 3
// bytes or runs past the payload, or a list with no closing zero inside it, is no list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace foliotally::dragdrop {

using TIdList = std::vector<uint8_t>;

// The size of the ID list at the start of `bytes`, closing zero included: 2 plus the sum
// of the item lengths. 0 when `bytes` holds no complete, well-formed list.
size_t IdListSize(std::span<const uint8_t> bytes);

// A folder's list followed by an item's list relative to it, as one absolute list. The
// desktop's list (only the closing zero) adds nothing.
TIdList JoinIdLists(std::span<const uint8_t> folder, std::span<const uint8_t> item);

class TPIDLList {
 public:
  // Called after Add, Clear and Assign.
  std::function<void()> OnChange;

  // Stores a copy of the ID list at the start of `bytes`; a span that holds no list is
  // ignored. True when a list was stored.
  bool Add(std::span<const uint8_t> bytes);
  void Clear();
  void Assign(const TPIDLList& other);
  int32_t Count() const { return static_cast<int32_t>(lists_.size()); }
  // The i-th list, IdListSize bytes, closing zero included.
  std::span<const uint8_t> Bytes(int32_t index) const;

 private:
  void NotifyChange();

  std::vector<TIdList> lists_;
};

}  // namespace foliotally::dragdrop
