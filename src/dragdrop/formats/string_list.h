// A list of 8-bit strings (bytes in the system code page, as the OS spells names), with an
// update bracket. The UTF-16 lists assign from and to it, converting each item.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dragdrop/formats/persistent.h"

namespace foliotally::dragdrop {

class TStringList : public TPersistent {
 public:
  std::string_view ClassName() const override { return "TStringList"; }

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  int32_t Capacity() const { return static_cast<int32_t>(items_.capacity()); }
  void SetCapacity(int32_t capacity);
  // An index outside the list raises "List index out of bounds (%d)".
  const std::string& Get(int32_t index) const;
  void Put(int32_t index, std::string text);
  int32_t Add(std::string text);
  void Insert(int32_t index, std::string text);
  void Delete(int32_t index);
  void Clear();

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate() { --updateCount_; }
  int32_t UpdateCount() const { return updateCount_; }

  void Assign(const TPersistent& source) override;

 private:
  void CheckIndex(int32_t index, int32_t limit) const;

  std::vector<std::string> items_;
  int32_t updateCount_ = 0;
};

}  // namespace foliotally::dragdrop
