// Formats whose payload is one text: 8-bit (in the system code page) or UTF-16.
#pragma once

#include <cstdint>
#include <string>

#include "dragdrop/formats/clipboard_format_simple.h"

namespace foliotally::dragdrop {

// An 8-bit text taken as the payload's bytes, cut before the first NUL when CutAtNul.
class TCustomAnsiStringClipboardFormat : public TCustomSimpleClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }

  const std::string& AnsiText() const { return ansiText_; }
  void SetAnsiText(std::string text) { ansiText_ = std::move(text); }
  bool CutAtNul() const { return cutAtNul_; }
  void SetCutAtNul(bool cut) { cutAtNul_ = cut; }

  void Clear() override { ansiText_.clear(); }
  bool HasData() const override { return !ansiText_.empty(); }
  // Always succeeds; an empty text means no data.
  bool ReadData(std::span<const uint8_t> payload) override;
  bool WriteData(std::span<uint8_t> buffer) const override;
  int32_t GetDataSize() const override;

 private:
  std::string ansiText_;
  bool cutAtNul_ = false;
};

// An 8-bit text that ends at its NUL, and is written with one.
class TCustomAnsiTextClipboardFormat : public TCustomAnsiStringClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  int32_t GetDataSize() const override;

 protected:
  TCustomAnsiTextClipboardFormat() { SetCutAtNul(true); }
};

// A UTF-16 text of the payload's whole units, NUL units included.
class TCustomUnicodeTextClipboardFormat : public TCustomSimpleClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }

  const std::u16string& WideText() const { return wideText_; }
  void SetWideText(std::u16string text) { wideText_ = std::move(text); }

  void Clear() override { wideText_.clear(); }
  bool HasData() const override { return !wideText_.empty(); }
  // Always succeeds; a payload under 2 bytes means no data. An odd last byte is dropped.
  bool ReadData(std::span<const uint8_t> payload) override;
  bool WriteData(std::span<uint8_t> buffer) const override;
  int32_t GetDataSize() const override;

 private:
  std::u16string wideText_;
};

}  // namespace foliotally::dragdrop
