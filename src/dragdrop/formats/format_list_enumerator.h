// An enumerator over a fixed list of descriptors: what a data object hands out when it knows
// its formats up front.
#pragma once

#include <algorithm>
#include <vector>

#include "dragdrop/formats/data_object.h"

namespace foliotally::dragdrop {

class TFormatListEnumerator final : public IEnumFormatEtc {
 public:
  explicit TFormatListEnumerator(std::vector<TFormatEtc> formats) : formats_(std::move(formats)) {}

  HResult Next(std::span<TFormatEtc> descriptors, uint32_t& fetched) override {
    fetched = 0;
    while (fetched < descriptors.size() && next_ < formats_.size())
      descriptors[fetched++] = formats_[next_++];
    return fetched == descriptors.size() ? S_OK : S_FALSE;
  }
  HResult Skip(uint32_t count) override {
    next_ = std::min(formats_.size(), next_ + count);
    return next_ < formats_.size() ? S_OK : S_FALSE;
  }
  HResult Reset() override {
    next_ = 0;
    return S_OK;
  }

 private:
  std::vector<TFormatEtc> formats_;
  size_t next_ = 0;
};

}  // namespace foliotally::dragdrop
