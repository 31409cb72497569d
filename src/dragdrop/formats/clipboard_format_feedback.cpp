#include "dragdrop/formats/clipboard_format_feedback.h"

#include <algorithm>

#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/little_endian.h"

namespace foliotally::dragdrop {
const TClipboardFormatClass& TCustomDWORDClipboardFormat::Class() {
  static const TClipboardFormatClass cls("TCustomDWORDClipboardFormat",
                                         &TCustomSimpleClipboardFormat::Class(), nullptr);
  return cls;
}

// A payload too short for a value is refused rather than read past.
bool TCustomDWORDClipboardFormat::ReadData(std::span<const uint8_t> payload) {
  if (payload.size() < 4) return false;
  value_ = ReadUInt32LE(payload, 0);
  return true;
}

bool TCustomDWORDClipboardFormat::WriteData(std::span<uint8_t> buffer) const {
  if (buffer.size() != 4) return false;
  WriteUInt32LE(buffer, 0, value_);
  return true;
}

const TClipboardFormatClass& TTargetCLSIDClipboardFormat::Class() {
  static const TClipboardFormatClass cls(
      "TTargetCLSIDClipboardFormat", &TCustomSimpleClipboardFormat::Class(),
      &Construct<TTargetCLSIDClipboardFormat, TClipboardFormat>, TDataDirection::ddWrite);
  return cls;
}

TTargetCLSIDClipboardFormat::TTargetCLSIDClipboardFormat() = default;

uint16_t TTargetCLSIDClipboardFormat::GetClipboardFormat() const {
  static const uint16_t id = RegisteredFormatId("TargetCLSID");
  return id;
}

bool TTargetCLSIDClipboardFormat::HasData() const {
  return std::ranges::any_of(clsid_, [](uint8_t b) { return b != 0; });
}

bool TTargetCLSIDClipboardFormat::ReadData(std::span<const uint8_t> payload) {
  if (payload.size() != clsid_.size()) return false;
  std::ranges::copy(payload, clsid_.begin());
  return true;
}

bool TTargetCLSIDClipboardFormat::WriteData(std::span<uint8_t> buffer) const {
  if (buffer.size() != clsid_.size()) return false;
  std::ranges::copy(clsid_, buffer.begin());
  return true;
}

}  // namespace foliotally::dragdrop
