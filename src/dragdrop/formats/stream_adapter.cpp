#include "dragdrop/formats/stream_adapter.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "dragdrop/formats/clipboard_format_simple.h"

namespace foliotally::dragdrop {
namespace {

std::span<uint8_t> Limit(std::span<uint8_t> buffer) {
  return buffer.first(std::min<size_t>(buffer.size(), UINT32_MAX));
}

}  // namespace

HResult TStreamAdapter::Read(std::span<uint8_t> buffer, uint32_t& bytes_read) {
  bytes_read = static_cast<uint32_t>(stream_->Read(Limit(buffer)));
  return S_OK;
}

HResult TStreamAdapter::Write(std::span<const uint8_t> bytes, uint32_t& bytes_written) {
  bytes_written = static_cast<uint32_t>(
      stream_->Write(bytes.first(std::min<size_t>(bytes.size(), UINT32_MAX))));
  return S_OK;
}

HResult TStreamAdapter::Seek(int64_t move, uint32_t origin, uint64_t* new_position) {
  if (origin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
  int64_t position = stream_->Seek(move, static_cast<TSeekOrigin>(origin));
  if (position < 0) return STG_E_INVALIDFUNCTION;
  if (new_position != nullptr) *new_position = static_cast<uint64_t>(position);
  return S_OK;
}

HResult TStreamAdapter::SetSize(uint64_t new_size) {
  if (new_size > static_cast<uint64_t>(INT64_MAX)) return E_INVALIDARG;
  return stream_->SetSize(static_cast<int64_t>(new_size)) ? S_OK : E_FAIL;
}

// Copies `count` bytes (all the rest when negative) from the current position, through one
// buffer of at most 1 MiB. Ends at the first empty read; a short write ends with E_FAIL
// and a failing one with its result. The totals are stored also when the copy ends early.
HResult TStreamAdapter::CopyTo(IStream& destination, int64_t count, uint64_t* bytes_read,
                               uint64_t* bytes_written) {
  if (count < 0) count = std::max<int64_t>(stream_->Size() - stream_->Position(), 0);
  uint64_t total_read = 0;
  uint64_t total_written = 0;
  HResult result = S_OK;
  try {
    std::vector<uint8_t> buffer(
        std::min<uint64_t>(static_cast<uint64_t>(count), kTransferBlockSize));
    while (count > 0) {
      size_t piece = std::min<uint64_t>(static_cast<uint64_t>(count), buffer.size());
      uint32_t read = static_cast<uint32_t>(stream_->Read(std::span(buffer).first(piece)));
      if (read == 0) break;
      total_read += read;
      uint32_t written = 0;
      result = destination.Write(std::span(buffer).first(read), written);
      total_written += written;
      if (Failed(result)) break;
      if (written < read) {
        result = E_FAIL;
        break;
      }
      count -= written;
    }
  } catch (const std::exception&) {
    result = E_UNEXPECTED;
  }
  if (bytes_read != nullptr) *bytes_read = total_read;
  if (bytes_written != nullptr) *bytes_written = total_written;
  return result;
}

HResult TStreamAdapter::Stat(TStatStg& stat, uint32_t /*flags*/) {
  stat = TStatStg{};
  stat.cbSize = static_cast<uint64_t>(std::max<int64_t>(stream_->Size(), 0));
  return S_OK;
}

HResult TFixedStreamAdapter::Seek(int64_t move, uint32_t origin, uint64_t* new_position) {
  HResult result = TStreamAdapter::Seek(move, origin, new_position);
  positioned_ = true;
  return result;
}

// A value is handed over positioned at its end; a reader that starts reading without
// seeking gets it from the start. The rewind counts as positioning, so later reads go on
// from where the first stopped.
HResult TFixedStreamAdapter::Read(std::span<uint8_t> buffer, uint32_t& bytes_read) {
  if (!positioned_) Seek(0, STREAM_SEEK_SET, nullptr);
  return TStreamAdapter::Read(buffer, bytes_read);
}

HResult TFixedStreamAdapter::CopyTo(IStream& destination, int64_t count, uint64_t* bytes_read,
                                    uint64_t* bytes_written) {
  if (count < 0) {
    if (Stream().Position() >= Stream().Size()) Seek(0, STREAM_SEEK_SET, nullptr);
    count = Stream().Size() - Stream().Position();
  }
  return TStreamAdapter::CopyTo(destination, count, bytes_read, bytes_written);
}

HResult TFixedStreamAdapter::Stat(TStatStg& stat, uint32_t flags) {
  HResult result = TStreamAdapter::Stat(stat, flags);
  stat.pwcsName.clear();
  return result;
}

}  // namespace foliotally::dragdrop
