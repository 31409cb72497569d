// CF_HDROP: a DROPFILES header (pFiles at offset 0, fWide at offset 16) followed by a list
// of names.
#pragma once

#include "dragdrop/formats/clipboard_format_simple.h"
#include "dragdrop/formats/unicode_strings.h"

namespace foliotally::dragdrop {

class TFileClipboardFormat : public TCustomSimpleClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }

  TFileClipboardFormat();

  TUnicodeStringList& Names() { return names_; }
  const TUnicodeStringList& Names() const { return names_; }
  // Writing renders UTF-16 names when set (always, here).
  bool WriteWide() const { return writeWide_; }
  void SetWriteWide(bool wide) { writeWide_ = wide; }

  uint16_t GetClipboardFormat() const override;
  bool Assign(TCustomDataFormat& data_format) override;
  bool AssignTo(TCustomDataFormat& data_format) override;
  void Clear() override { names_.Clear(); }
  bool HasData() const override { return names_.Count() > 0; }
  bool ReadData(std::span<const uint8_t> payload) override;
  bool WriteData(std::span<uint8_t> buffer) const override;
  int32_t GetDataSize() const override;

 private:
  TUnicodeStringList names_;
  bool writeWide_ = true;
};

}  // namespace foliotally::dragdrop
