#include "dragdrop/formats/clipboard_format_filename.h"

#include <cstring>

#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/code_page.h"
#include "dragdrop/formats/data_format_files.h"
#include "dragdrop/formats/data_format_registry.h"
#include "dragdrop/formats/double_nul_name_list.h"

namespace foliotally::dragdrop {
namespace {

// Renders names into a zero-filled buffer: each ends with a NUL and the list with an empty
// name. `unit` is the size of one character.
template <typename Name>
bool WriteNameList(const std::vector<Name>& names, size_t unit, std::span<uint8_t> buffer) {
  size_t size = unit;
  for (const Name& name : names) size += (name.size() + 1) * unit;
  if (names.empty() || buffer.size() < size) return false;
  std::memset(buffer.data(), 0, buffer.size());
  size_t at = 0;
  for (const Name& name : names) {
    std::memcpy(buffer.data() + at, name.data(), name.size() * unit);
    at += (name.size() + 1) * unit;
  }
  return true;
}

template <typename Name>
int32_t NameListSize(const std::vector<Name>& names, size_t unit) {
  if (names.empty()) return 0;
  size_t size = unit;
  for (const Name& name : names) size += (name.size() + 1) * unit;
  return size > INT32_MAX ? 0 : static_cast<int32_t>(size);
}

std::vector<std::string> ItemsOf(const TStringList& list) {
  std::vector<std::string> items;
  for (int32_t i = 0; i < list.Count(); ++i) items.push_back(list.Get(i));
  return items;
}

std::vector<std::u16string> ItemsOf(const TUnicodeStrings& list) {
  std::vector<std::u16string> items;
  for (int32_t i = 0; i < list.Count(); ++i) items.push_back(list.Get(i));
  return items;
}

// Leaves `files` holding exactly one name.
void SetOnlyName(TUnicodeStringList& files, const std::u16string& name) {
  files.BeginUpdate();
  files.Clear();
  files.Add(name);
  files.EndUpdate();
}

}  // namespace

const TClipboardFormatClass& TAnsiFilenameClipboardFormat::Class() {
  static const TClipboardFormatClass cls(
      "TAnsiFilenameClipboardFormat", &TCustomAnsiTextClipboardFormat::Class(),
      &Construct<TAnsiFilenameClipboardFormat, TClipboardFormat>, std::nullopt,
      [](const TClipboardFormatClass& self) {
        RegisterDataConversion(self, TFileDataFormat::Class(), 2, TDataDirections::Both());
      });
  return cls;
}

uint16_t TAnsiFilenameClipboardFormat::GetClipboardFormat() const {
  static const uint16_t id = RegisteredFormatId("FileName");
  return id;
}

bool TAnsiFilenameClipboardFormat::Assign(TCustomDataFormat& data_format) {
  auto* files = dynamic_cast<TFileDataFormat*>(&data_format);
  if (files == nullptr) return TCustomAnsiTextClipboardFormat::Assign(data_format);
  if (files->Files().Count() == 0) return false;
  SetAnsiText(Utf16ToSystemCodePage(files->Files().Get(0)));
  return true;
}

bool TAnsiFilenameClipboardFormat::AssignTo(TCustomDataFormat& data_format) {
  auto* files = dynamic_cast<TFileDataFormat*>(&data_format);
  if (files == nullptr) return TCustomAnsiTextClipboardFormat::AssignTo(data_format);
  SetOnlyName(files->Files(), SystemCodePageToUtf16(AnsiText()));
  return true;
}

const TClipboardFormatClass& TUnicodeFilenameClipboardFormat::Class() {
  static const TClipboardFormatClass cls(
      "TUnicodeFilenameClipboardFormat", &TCustomUnicodeTextClipboardFormat::Class(),
      &Construct<TUnicodeFilenameClipboardFormat, TClipboardFormat>, std::nullopt,
      [](const TClipboardFormatClass& self) {
        RegisterDataConversion(self, TFileDataFormat::Class(), 3, TDataDirections::Both());
      });
  return cls;
}

uint16_t TUnicodeFilenameClipboardFormat::GetClipboardFormat() const {
  static const uint16_t id = RegisteredFormatId("FileNameW");
  return id;
}

bool TUnicodeFilenameClipboardFormat::Assign(TCustomDataFormat& data_format) {
  auto* files = dynamic_cast<TFileDataFormat*>(&data_format);
  if (files == nullptr) return TCustomUnicodeTextClipboardFormat::Assign(data_format);
  if (files->Files().Count() == 0) return false;
  SetWideText(files->Files().Get(0));
  return true;
}

bool TUnicodeFilenameClipboardFormat::AssignTo(TCustomDataFormat& data_format) {
  auto* files = dynamic_cast<TFileDataFormat*>(&data_format);
  if (files == nullptr) return TCustomUnicodeTextClipboardFormat::AssignTo(data_format);
  SetOnlyName(files->Files(), WideText());
  return true;
}

const TClipboardFormatClass& TAnsiFilenameMapClipboardFormat::Class() {
  static const TClipboardFormatClass cls(
      "TAnsiFilenameMapClipboardFormat", &TCustomSimpleClipboardFormat::Class(),
      &Construct<TAnsiFilenameMapClipboardFormat, TClipboardFormat>);
  return cls;
}

TAnsiFilenameMapClipboardFormat::TAnsiFilenameMapClipboardFormat() = default;

uint16_t TAnsiFilenameMapClipboardFormat::GetClipboardFormat() const {
  static const uint16_t id = RegisteredFormatId("FileNameMap");
  return id;
}

bool TAnsiFilenameMapClipboardFormat::ReadData(std::span<const uint8_t> payload) {
  TUnicodeStringsAdapter names(mapNames_);
  return ParseNameList(payload, false, names);
}

bool TAnsiFilenameMapClipboardFormat::WriteData(std::span<uint8_t> buffer) const {
  return WriteNameList(ItemsOf(mapNames_), 1, buffer);
}

int32_t TAnsiFilenameMapClipboardFormat::GetDataSize() const {
  return NameListSize(ItemsOf(mapNames_), 1);
}

const TClipboardFormatClass& TUnicodeFilenameMapClipboardFormat::Class() {
  static const TClipboardFormatClass cls(
      "TUnicodeFilenameMapClipboardFormat", &TCustomSimpleClipboardFormat::Class(),
      &Construct<TUnicodeFilenameMapClipboardFormat, TClipboardFormat>);
  return cls;
}

TUnicodeFilenameMapClipboardFormat::TUnicodeFilenameMapClipboardFormat() = default;

uint16_t TUnicodeFilenameMapClipboardFormat::GetClipboardFormat() const {
  static const uint16_t id = RegisteredFormatId("FileNameMapW");
  return id;
}

bool TUnicodeFilenameMapClipboardFormat::ReadData(std::span<const uint8_t> payload) {
  return ParseNameList(payload, true, mapNames_);
}

bool TUnicodeFilenameMapClipboardFormat::WriteData(std::span<uint8_t> buffer) const {
  return WriteNameList(ItemsOf(mapNames_), 2, buffer);
}

int32_t TUnicodeFilenameMapClipboardFormat::GetDataSize() const {
  return NameListSize(ItemsOf(mapNames_), 2);
}

}  // namespace foliotally::dragdrop
