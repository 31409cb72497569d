// A program stream presented as a platform stream (IStream). TFixedStreamAdapter is the
// one handed to a data object with a written value: its reader gets the value from the
// start even when it does not seek first, and CopyTo moves the data in bounded pieces.
#pragma once

#include <memory>

#include "dragdrop/formats/class_stream.h"
#include "dragdrop/formats/ole_stream.h"

namespace foliotally::dragdrop {

class TStreamAdapter : public IStream {
 public:
  explicit TStreamAdapter(std::unique_ptr<TStream> stream) : stream_(std::move(stream)) {}

  HResult Read(std::span<uint8_t> buffer, uint32_t& bytes_read) override;
  HResult Write(std::span<const uint8_t> bytes, uint32_t& bytes_written) override;
  HResult Seek(int64_t move, uint32_t origin, uint64_t* new_position) override;
  HResult SetSize(uint64_t new_size) override;
  HResult CopyTo(IStream& destination, int64_t count, uint64_t* bytes_read,
                 uint64_t* bytes_written) override;
  HResult Stat(TStatStg& stat, uint32_t flags) override;

  TStream& Stream() { return *stream_; }

 private:
  std::unique_ptr<TStream> stream_;
};

class TFixedStreamAdapter : public TStreamAdapter {
 public:
  using TStreamAdapter::TStreamAdapter;

  // Marks the stream as positioned by its reader.
  HResult Seek(int64_t move, uint32_t origin, uint64_t* new_position) override;
  // Reads from the start until the reader seeks for itself.
  HResult Read(std::span<uint8_t> buffer, uint32_t& bytes_read) override;
  // A negative count copies all the rest, from the start when the stream stands at its
  // end; pieces of at most 1 MiB; a short write ends with E_FAIL.
  HResult CopyTo(IStream& destination, int64_t count, uint64_t* bytes_read,
                 uint64_t* bytes_written) override;
  // Never names the stream.
  HResult Stat(TStatStg& stat, uint32_t flags) override;

  bool Positioned() const { return positioned_; }

 private:
  bool positioned_ = false;
};

}  // namespace foliotally::dragdrop
