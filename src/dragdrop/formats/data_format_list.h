// The data formats of one component, in the order they joined. It owns none of them.
#pragma once

#include <cstdint>
#include <vector>

namespace foliotally::dragdrop {

class TCustomDataFormat;

class TDataFormats {
 public:
  // Appends unless already there; returns the format's index.
  int32_t Add(TCustomDataFormat& format);
  int32_t IndexOf(const TCustomDataFormat& format) const;
  void Remove(const TCustomDataFormat& format);
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  TCustomDataFormat& Items(int32_t index) const;

 private:
  std::vector<TCustomDataFormat*> items_;
};

}  // namespace foliotally::dragdrop
