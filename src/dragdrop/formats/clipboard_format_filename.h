// "FileName" and "FileNameW", one name each; "FileNameMap" and "FileNameMapW", the names
// that some sources map the dropped ones to.
#pragma once

#include "dragdrop/formats/clipboard_format_simple.h"
#include "dragdrop/formats/clipboard_format_text.h"
#include "dragdrop/formats/string_list.h"
#include "dragdrop/formats/unicode_strings.h"

namespace foliotally::dragdrop {

class TAnsiFilenameClipboardFormat : public TCustomAnsiTextClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  TAnsiFilenameClipboardFormat() = default;

  uint16_t GetClipboardFormat() const override;
  bool Assign(TCustomDataFormat& data_format) override;
  // Leaves a file data format's list holding the one name, converted to UTF-16.
  bool AssignTo(TCustomDataFormat& data_format) override;
};

class TUnicodeFilenameClipboardFormat : public TCustomUnicodeTextClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  TUnicodeFilenameClipboardFormat() = default;

  uint16_t GetClipboardFormat() const override;
  bool Assign(TCustomDataFormat& data_format) override;
  // Leaves a file data format's list holding the one name, as it came.
  bool AssignTo(TCustomDataFormat& data_format) override;
};

class TAnsiFilenameMapClipboardFormat : public TCustomSimpleClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  TAnsiFilenameMapClipboardFormat();

  TStringList& MapNames() { return mapNames_; }
  const TStringList& MapNames() const { return mapNames_; }

  uint16_t GetClipboardFormat() const override;
  void Clear() override { mapNames_.Clear(); }
  bool HasData() const override { return mapNames_.Count() > 0; }
  bool ReadData(std::span<const uint8_t> payload) override;
  bool WriteData(std::span<uint8_t> buffer) const override;
  int32_t GetDataSize() const override;

 private:
  TStringList mapNames_;
};

class TUnicodeFilenameMapClipboardFormat : public TCustomSimpleClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  TUnicodeFilenameMapClipboardFormat();

  TUnicodeStringList& MapNames() { return mapNames_; }
  const TUnicodeStringList& MapNames() const { return mapNames_; }

  uint16_t GetClipboardFormat() const override;
  void Clear() override { mapNames_.Clear(); }
  bool HasData() const override { return mapNames_.Count() > 0; }
  bool ReadData(std::span<const uint8_t> payload) override;
  bool WriteData(std::span<uint8_t> buffer) const override;
  int32_t GetDataSize() const override;

 private:
  TUnicodeStringList mapNames_;
};

}  // namespace foliotally::dragdrop
