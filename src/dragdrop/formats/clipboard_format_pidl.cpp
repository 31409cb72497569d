#include "dragdrop/formats/clipboard_format_pidl.h"

#include <cstring>

#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/dragdrop_errors.h"
#include "dragdrop/formats/little_endian.h"

namespace foliotally::dragdrop {
namespace {

// A list may be named by several offsets, so its copies are limited: lists that would
// together take more than this many times the payload make the payload a hostile one.
constexpr uint64_t kMaxCopiesPerPayloadByte = 4;

}  // namespace

int32_t TPIDLsToFilenamesStrings::GetCount() const {
  return lists_.Count() < 2 ? 0 : lists_.Count() - 1;
}

std::u16string TPIDLsToFilenamesStrings::Get(int32_t index) const {
  if (index < 0 || index >= GetCount()) throw EListError("Filename index out of range");
  TIdList absolute = JoinIdLists(lists_.Bytes(0), lists_.Bytes(index + 1));
  std::u16string path;
  return resolve_ && resolve_(absolute, path) ? path : std::u16string();
}

const TClipboardFormatClass& TPIDLClipboardFormat::Class() {
  static const TClipboardFormatClass cls("TPIDLClipboardFormat",
                                         &TCustomSimpleClipboardFormat::Class(),
                                         &Construct<TPIDLClipboardFormat, TClipboardFormat>);
  return cls;
}

TPIDLClipboardFormat::TPIDLClipboardFormat() = default;

uint16_t TPIDLClipboardFormat::GetClipboardFormat() const {
  static const uint16_t id = RegisteredFormatId("Shell IDList Array");
  return id;
}

// Every offset (cidl + 1 of them, the folder's first) must lie inside the payload and
// point at a complete ID list inside it; a payload that breaks this for any list is
// refused as a whole, so no name is taken from a damaged array.
bool TPIDLClipboardFormat::ReadData(std::span<const uint8_t> payload) {
  idLists_.Clear();
  if (payload.size() < 4) return false;
  const uint64_t cidl = ReadUInt32LE(payload, 0);
  const uint64_t table_end = 4 + 4 * (cidl + 1);
  if (payload.size() < 4 + 8 * cidl || payload.size() < table_end) return false;
  uint64_t copied = 0;
  for (uint64_t k = 0; k <= cidl; ++k) {
    const size_t offset = ReadUInt32LE(payload, 4 + 4 * k);
    bool stored = offset < payload.size() && idLists_.Add(payload.subspan(offset));
    copied += stored ? idLists_.Bytes(idLists_.Count() - 1).size() : 0;
    if (!stored || copied > kMaxCopiesPerPayloadByte * payload.size()) {
      idLists_.Clear();
      return false;
    }
  }
  return idLists_.Count() > 1;
}

int32_t TPIDLClipboardFormat::GetDataSize() const {
  if (idLists_.Count() == 0) return 0;
  uint64_t size = 4 + 4 * static_cast<uint64_t>(idLists_.Count());
  for (int32_t i = 0; i < idLists_.Count(); ++i) size += idLists_.Bytes(i).size();
  return size > INT32_MAX ? 0 : static_cast<int32_t>(size);
}

bool TPIDLClipboardFormat::WriteData(std::span<uint8_t> buffer) const {
  if (idLists_.Count() == 0 || buffer.size() < static_cast<size_t>(GetDataSize())) return false;
  WriteUInt32LE(buffer, 0, static_cast<uint32_t>(idLists_.Count() - 1));
  size_t at = 4 + 4 * static_cast<size_t>(idLists_.Count());
  for (int32_t i = 0; i < idLists_.Count(); ++i) {
    std::span<const uint8_t> list = idLists_.Bytes(i);
    WriteUInt32LE(buffer, 4 + 4 * static_cast<size_t>(i), static_cast<uint32_t>(at));
    std::memcpy(buffer.data() + at, list.data(), list.size());
    at += list.size();
  }
  return true;
}

}  // namespace foliotally::dragdrop
