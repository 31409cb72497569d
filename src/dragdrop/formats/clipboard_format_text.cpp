#include "dragdrop/formats/clipboard_format_text.h"

#include <algorithm>
#include <cstring>

namespace foliotally::dragdrop {

const TClipboardFormatClass& TCustomAnsiStringClipboardFormat::Class() {
  static const TClipboardFormatClass cls("TCustomAnsiStringClipboardFormat",
                                         &TCustomSimpleClipboardFormat::Class(), nullptr);
  return cls;
}

bool TCustomAnsiStringClipboardFormat::ReadData(std::span<const uint8_t> payload) {
  ansiText_.assign(payload.begin(), payload.end());
  if (cutAtNul_) ansiText_.resize(std::strlen(ansiText_.c_str()));
  return true;
}

bool TCustomAnsiStringClipboardFormat::WriteData(std::span<uint8_t> buffer) const {
  if (buffer.size() < ansiText_.size()) return false;
  std::ranges::copy(ansiText_, buffer.begin());
  return true;
}

int32_t TCustomAnsiStringClipboardFormat::GetDataSize() const {
  return static_cast<int32_t>(std::min<size_t>(ansiText_.size(), INT32_MAX - 1));
}

const TClipboardFormatClass& TCustomAnsiTextClipboardFormat::Class() {
  static const TClipboardFormatClass cls("TCustomAnsiTextClipboardFormat",
                                         &TCustomAnsiStringClipboardFormat::Class(), nullptr);
  return cls;
}

// Room for the closing NUL, which the zero-filled block already holds.
int32_t TCustomAnsiTextClipboardFormat::GetDataSize() const {
  return TCustomAnsiStringClipboardFormat::GetDataSize() + 1;
}

const TClipboardFormatClass& TCustomUnicodeTextClipboardFormat::Class() {
  static const TClipboardFormatClass cls("TCustomUnicodeTextClipboardFormat",
                                         &TCustomSimpleClipboardFormat::Class(), nullptr);
  return cls;
}

bool TCustomUnicodeTextClipboardFormat::ReadData(std::span<const uint8_t> payload) {
  wideText_.assign(payload.size() / 2, u'\0');
  if (!wideText_.empty()) std::memcpy(wideText_.data(), payload.data(), wideText_.size() * 2);
  return true;
}

bool TCustomUnicodeTextClipboardFormat::WriteData(std::span<uint8_t> buffer) const {
  if (buffer.size() < wideText_.size() * 2) return false;
  std::memcpy(buffer.data(), wideText_.data(), wideText_.size() * 2);
  return true;
}

// The text and a closing NUL unit.
int32_t TCustomUnicodeTextClipboardFormat::GetDataSize() const {
  return static_cast<int32_t>(std::min<size_t>(wideText_.size() + 1, INT32_MAX / 2) * 2);
}

}  // namespace foliotally::dragdrop
