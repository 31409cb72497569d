#include "dragdrop/formats/clipboard_format_simple.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "dragdrop/formats/class_stream.h"
#include "dragdrop/formats/dragdrop_errors.h"
#include "dragdrop/formats/stream_adapter.h"

namespace foliotally::dragdrop {
namespace {

constexpr size_t kFirstTransferBlockSize = 64 * 1024;

// Reads a stream from its start into `payload`, through one transfer block of at most
// 1 MiB, until the size it reported has arrived, a read fails (false) or a read gives
// nothing. The payload grows only by what arrives, and the block starts small and doubles
// while reads fill it, so a stream that reports far more than it delivers costs little
// more memory than it delivers.
bool ReadStreamPayload(IStream& stream, std::vector<uint8_t>& payload) {
  TStatStg stat;
  if (Failed(stream.Stat(stat, STATFLAG_NONAME))) return false;
  if (stat.cbSize > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    throw ERangeError();
  }
  uint64_t remaining = stat.cbSize;
  if (remaining == 0) return true;
  stream.Seek(0, STREAM_SEEK_SET, nullptr);
  std::vector<uint8_t> block(std::min<uint64_t>(remaining, kFirstTransferBlockSize));
  while (remaining > 0) {
    size_t piece = std::min<uint64_t>(remaining, block.size());
    uint32_t arrived = 0;
    if (Failed(stream.Read(std::span(block).first(piece), arrived))) return false;
    if (arrived == 0) break;
    arrived = static_cast<uint32_t>(std::min<size_t>(arrived, piece));
    payload.insert(payload.end(), block.begin(), block.begin() + arrived);
    remaining -= arrived;
    if (arrived == block.size() && block.size() < kTransferBlockSize) {
      block.resize(std::min<uint64_t>({remaining, 2 * block.size(), kTransferBlockSize}));
    }
  }
  return true;
}

}  // namespace

const TClipboardFormatClass& TCustomSimpleClipboardFormat::Class() {
  static const TClipboardFormatClass cls("TCustomSimpleClipboardFormat", &TClipboardFormat::Class(),
                                         nullptr);
  return cls;
}

TCustomSimpleClipboardFormat::TCustomSimpleClipboardFormat()
    : TClipboardFormat(TYMED_HGLOBAL | TYMED_ISTREAM) {}

// A medium that carries no bytes (an empty block, a stream that is or turns out empty) is
// a successful fetch with an empty state, so the next format is tried.
bool TCustomSimpleClipboardFormat::ReadMedium(IDataObject& /*data_object*/, TStgMedium& medium) {
  if (medium.Tymed() == TYMED_HGLOBAL) {
    return medium.Global().empty() || ReadData(medium.Global());
  }
  if (medium.Tymed() == TYMED_ISTREAM && medium.Stream() != nullptr) {
    std::vector<uint8_t> payload;
    if (!ReadStreamPayload(*medium.Stream(), payload)) return false;
    return payload.empty() || ReadData(payload);
  }
  return false;
}

bool TCustomSimpleClipboardFormat::WriteMedium(const TFormatEtc& format, TStgMedium& medium) {
  const int32_t size = GetDataSize();
  if (size <= 0) return false;
  const uint32_t media = format.tymed & FormatEtc().tymed;
  const bool as_stream = format.tymed != TYMED_ANY && (media & TYMED_ISTREAM) != 0;
  if (!as_stream && (media & TYMED_HGLOBAL) == 0) return false;
  try {
    std::vector<uint8_t> block(static_cast<size_t>(size));
    if (!WriteData(block)) return false;
    if (!as_stream) {
      medium = TStgMedium::FromGlobal(std::move(block));
      return true;
    }
    // Handed over positioned at its end, as the platform's stream over a block is; the
    // adapter still gives a reader that does not seek the value from its start.
    auto stream = std::make_unique<TBytesStream>(std::move(block));
    stream->Seek(0, TSeekOrigin::soEnd);
    medium = TStgMedium::FromStream(std::make_shared<TFixedStreamAdapter>(std::move(stream)));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace foliotally::dragdrop
