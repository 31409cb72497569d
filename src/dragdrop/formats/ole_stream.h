// The stream medium: a byte stream a data object hands out, with size, position and reads,
// as OLE's IStream. Streams are shared (a data object may keep the one it gave away), so
// they travel as shared_ptr, and the last holder frees them.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "dragdrop/formats/hresult.h"

namespace foliotally::dragdrop {

// Origins of Seek.
inline constexpr uint32_t STREAM_SEEK_SET = 0;
inline constexpr uint32_t STREAM_SEEK_CUR = 1;
inline constexpr uint32_t STREAM_SEEK_END = 2;

// Flags of Stat.
inline constexpr uint32_t STATFLAG_DEFAULT = 0;
inline constexpr uint32_t STATFLAG_NONAME = 1;

inline constexpr uint32_t STGTY_STREAM = 2;

struct TStatStg {
  std::u16string pwcsName;  // empty: no name
  uint32_t type = STGTY_STREAM;
  uint64_t cbSize = 0;  // what the stream says its size is; a reader must not trust it
};

class IStream {
 public:
  virtual ~IStream() = default;

  // Reads up to buffer.size() bytes at the current position; `bytes_read` tells how many
  // arrived (0 at the end). A failure leaves nothing promised about the buffer.
  virtual HResult Read(std::span<uint8_t> buffer, uint32_t& bytes_read) = 0;
  virtual HResult Write(std::span<const uint8_t> bytes, uint32_t& bytes_written) = 0;
  // Moves the position; `new_position` receives it when not null.
  virtual HResult Seek(int64_t move, uint32_t origin, uint64_t* new_position) = 0;
  virtual HResult SetSize(uint64_t new_size) = 0;
  // Copies `count` bytes from the current position into `destination`; a negative count
  // means all the rest. The totals read and written are stored where asked for.
  virtual HResult CopyTo(IStream& destination, int64_t count, uint64_t* bytes_read,
                         uint64_t* bytes_written) = 0;
  virtual HResult Stat(TStatStg& stat, uint32_t flags) = 0;
};

}  // namespace foliotally::dragdrop
