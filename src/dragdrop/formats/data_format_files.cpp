#include "dragdrop/formats/data_format_files.h"

#include "dragdrop/formats/clipboard_format_filename.h"
#include "dragdrop/formats/clipboard_format_hdrop.h"
#include "dragdrop/formats/clipboard_format_pidl.h"
#include "dragdrop/formats/data_format_registry.h"

namespace foliotally::dragdrop {

const TDataFormatClass& TFileDataFormat::Class() {
  static const TDataFormatClass cls(
      "TFileDataFormat", &TCustomDataFormat::Class(),
      &Construct<TFileDataFormat, TCustomDataFormat, IDataFormatOwner*>,
      [](const TDataFormatClass& self) {
        RegisterCompatibleFormat(self, TFileClipboardFormat::Class(), 0, TDataDirections::Both());
        RegisterCompatibleFormat(self, TPIDLClipboardFormat::Class(), 1, TDataDirections::Both());
      });
  return cls;
}

TFileDataFormat::TFileDataFormat(IDataFormatOwner* owner) : TCustomDataFormat(owner) {
  files_.OnChanging = [this](TUnicodeStrings&) { Changing(); };
}

bool TFileDataFormat::Assign(TClipboardFormat& format) {
  if (auto* drop = dynamic_cast<TFileClipboardFormat*>(&format)) {
    files_.Assign(drop->Names());
    return true;
  }
  if (auto* id_lists = dynamic_cast<TPIDLClipboardFormat*>(&format)) {
    files_.Assign(id_lists->PathNames());
    return true;
  }
  return TCustomDataFormat::Assign(format);
}

bool TFileDataFormat::AssignTo(TClipboardFormat& format) {
  if (auto* drop = dynamic_cast<TFileClipboardFormat*>(&format)) {
    drop->Names().Assign(files_);
    return true;
  }
  return TCustomDataFormat::AssignTo(format);
}

const TDataFormatClass& TFileMapDataFormat::Class() {
  static const TDataFormatClass cls(
      "TFileMapDataFormat", &TCustomDataFormat::Class(),
      &Construct<TFileMapDataFormat, TCustomDataFormat, IDataFormatOwner*>,
      [](const TDataFormatClass& self) {
        RegisterCompatibleFormat(self, TAnsiFilenameMapClipboardFormat::Class(), -1,
                                 TDataDirections::Both());
        RegisterCompatibleFormat(self, TUnicodeFilenameMapClipboardFormat::Class(), 0,
                                 TDataDirections::Both());
      });
  return cls;
}

TFileMapDataFormat::TFileMapDataFormat(IDataFormatOwner* owner) : TCustomDataFormat(owner) {
  nameMappings_.OnChanging = [this](TUnicodeStrings&) { Changing(); };
}

bool TFileMapDataFormat::Assign(TClipboardFormat& format) {
  if (auto* narrow = dynamic_cast<TAnsiFilenameMapClipboardFormat*>(&format)) {
    nameMappings_.Assign(narrow->MapNames());
    return true;
  }
  if (auto* wide = dynamic_cast<TUnicodeFilenameMapClipboardFormat*>(&format)) {
    nameMappings_.Assign(wide->MapNames());
    return true;
  }
  return TCustomDataFormat::Assign(format);
}

bool TFileMapDataFormat::AssignTo(TClipboardFormat& format) {
  if (auto* narrow = dynamic_cast<TAnsiFilenameMapClipboardFormat*>(&format)) {
    narrow->MapNames().Assign(nameMappings_);
    return true;
  }
  if (auto* wide = dynamic_cast<TUnicodeFilenameMapClipboardFormat*>(&format)) {
    wide->MapNames().Assign(nameMappings_);
    return true;
  }
  return TCustomDataFormat::AssignTo(format);
}

}  // namespace foliotally::dragdrop
