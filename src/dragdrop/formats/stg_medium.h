// A storage medium as a data object hands it over or takes it: nothing, a byte block (what
// OLE calls an HGLOBAL) or a stream. It owns what it holds and frees it when released or
// destroyed, so a medium is released on every path by construction. Move-only: handing a
// medium over moves it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dragdrop/formats/format_etc.h"
#include "dragdrop/formats/ole_stream.h"

namespace foliotally::dragdrop {

class TStgMedium {
 public:
  TStgMedium() = default;
  static TStgMedium FromGlobal(std::vector<uint8_t> block);
  static TStgMedium FromStream(std::shared_ptr<IStream> stream);

  TStgMedium(TStgMedium&& other) noexcept;
  TStgMedium& operator=(TStgMedium&& other) noexcept;
  TStgMedium(const TStgMedium&) = delete;
  TStgMedium& operator=(const TStgMedium&) = delete;
  ~TStgMedium() = default;

  // One of TYMED_NULL, TYMED_HGLOBAL, TYMED_ISTREAM.
  uint32_t Tymed() const { return tymed_; }
  bool IsEmpty() const { return tymed_ == TYMED_NULL; }

  // The byte block; empty unless the medium is TYMED_HGLOBAL. Its size is GlobalSize.
  const std::vector<uint8_t>& Global() const { return global_; }
  std::vector<uint8_t>& Global() { return global_; }
  // The stream; null unless the medium is TYMED_ISTREAM.
  IStream* Stream() const { return stream_.get(); }
  const std::shared_ptr<IStream>& SharedStream() const { return stream_; }

  // Frees what the medium holds and leaves it empty (ReleaseStgMedium).
  void Release();

 private:
  uint32_t tymed_ = TYMED_NULL;
  std::vector<uint8_t> global_;
  std::shared_ptr<IStream> stream_;
};

// The platform's name for Release, for code that reads like the protocol it follows.
inline void ReleaseStgMedium(TStgMedium& medium) { medium.Release(); }

}  // namespace foliotally::dragdrop
