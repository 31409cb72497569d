#include "dragdrop/formats/stg_medium.h"

#include <utility>

namespace foliotally::dragdrop {

TStgMedium TStgMedium::FromGlobal(std::vector<uint8_t> block) {
  TStgMedium medium;
  medium.tymed_ = TYMED_HGLOBAL;
  medium.global_ = std::move(block);
  return medium;
}

TStgMedium TStgMedium::FromStream(std::shared_ptr<IStream> stream) {
  TStgMedium medium;
  if (stream) {
    medium.tymed_ = TYMED_ISTREAM;
    medium.stream_ = std::move(stream);
  }
  return medium;
}

TStgMedium::TStgMedium(TStgMedium&& other) noexcept
    : tymed_(std::exchange(other.tymed_, TYMED_NULL)),
      global_(std::move(other.global_)),
      stream_(std::move(other.stream_)) {
  other.global_.clear();
}

TStgMedium& TStgMedium::operator=(TStgMedium&& other) noexcept {
  if (this != &other) {
    tymed_ = std::exchange(other.tymed_, TYMED_NULL);
    global_ = std::move(other.global_);
    other.global_.clear();
    stream_ = std::move(other.stream_);
  }
  return *this;
}

void TStgMedium::Release() {
  tymed_ = TYMED_NULL;
  std::vector<uint8_t>().swap(global_);
  stream_.reset();
}

}  // namespace foliotally::dragdrop
