#include "dragdrop/formats/clipboard_format_hdrop.h"

#include <cstring>

#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/code_page.h"
#include "dragdrop/formats/data_format_files.h"
#include "dragdrop/formats/double_nul_name_list.h"
#include "dragdrop/formats/little_endian.h"

namespace foliotally::dragdrop {
namespace {

// DROPFILES: pFiles (offset of the name list), pt (x, y), fNC, fWide.
constexpr size_t kDropFilesSize = 20;
constexpr size_t kWideFlagOffset = 16;

}  // namespace

const TClipboardFormatClass& TFileClipboardFormat::Class() {
  static const TClipboardFormatClass cls("TFileClipboardFormat",
                                         &TCustomSimpleClipboardFormat::Class(),
                                         &Construct<TFileClipboardFormat, TClipboardFormat>);
  return cls;
}

TFileClipboardFormat::TFileClipboardFormat() = default;

uint16_t TFileClipboardFormat::GetClipboardFormat() const { return CF_HDROP; }

bool TFileClipboardFormat::Assign(TCustomDataFormat& data_format) {
  if (auto* files = dynamic_cast<TFileDataFormat*>(&data_format)) {
    names_.Assign(files->Files());
    return true;
  }
  return TCustomSimpleClipboardFormat::Assign(data_format);
}

bool TFileClipboardFormat::AssignTo(TCustomDataFormat& data_format) {
  if (auto* files = dynamic_cast<TFileDataFormat*>(&data_format)) {
    files->Files().Assign(names_);
    return true;
  }
  return TCustomSimpleClipboardFormat::AssignTo(data_format);
}

// The names are read from pFiles to the end of the payload; a pFiles beyond the payload
// leaves nothing to read. pFiles is not required to lie past the header.
bool TFileClipboardFormat::ReadData(std::span<const uint8_t> payload) {
  if (payload.size() <= kDropFilesSize) return false;
  names_.Clear();
  const size_t pFiles = ReadUInt32LE(payload, 0);
  const bool wide = ReadUInt32LE(payload, kWideFlagOffset) != 0;
  if (pFiles < payload.size()) ParseNameList(payload.subspan(pFiles), wide, names_);
  return names_.Count() > 0;
}

int32_t TFileClipboardFormat::GetDataSize() const {
  size_t size = kDropFilesSize;
  for (int32_t i = 0; i < names_.Count(); ++i) {
    size += writeWide_ ? (names_.Get(i).size() + 1) * 2
                       : Utf16ToSystemCodePage(names_.Get(i)).size() + 1;
  }
  size += writeWide_ ? 2 : 1;
  return size > INT32_MAX ? 0 : static_cast<int32_t>(size);
}

// Names written into a zero-filled block: each one's NUL and the closing empty name are
// the zeros left between them.
bool TFileClipboardFormat::WriteData(std::span<uint8_t> buffer) const {
  if (names_.Count() == 0 || buffer.size() < static_cast<size_t>(GetDataSize())) return false;
  std::memset(buffer.data(), 0, buffer.size());
  WriteUInt32LE(buffer, 0, kDropFilesSize);
  WriteUInt32LE(buffer, kWideFlagOffset, writeWide_ ? 1 : 0);
  size_t at = kDropFilesSize;
  for (int32_t i = 0; i < names_.Count(); ++i) {
    if (writeWide_) {
      std::u16string name = names_.Get(i);
      std::memcpy(buffer.data() + at, name.data(), name.size() * 2);
      at += (name.size() + 1) * 2;
    } else {
      std::string name = Utf16ToSystemCodePage(names_.Get(i));
      std::memcpy(buffer.data() + at, name.data(), name.size());
      at += name.size() + 1;
    }
  }
  return true;
}

}  // namespace foliotally::dragdrop
