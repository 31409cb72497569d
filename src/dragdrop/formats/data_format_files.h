// The data formats of a file drop: the dropped names (TFileDataFormat, from CF_HDROP,
// "Shell IDList Array", "FileName" and "FileNameW" in this order) and the names they are
// mapped to (TFileMapDataFormat, from "FileNameMap" and then "FileNameMapW").
#pragma once

#include "dragdrop/formats/data_format_base.h"
#include "dragdrop/formats/unicode_strings.h"

namespace foliotally::dragdrop {

class TFileDataFormat : public TCustomDataFormat {
 public:
  static const TDataFormatClass& Class();
  const TDataFormatClass& ClassType() const override { return Class(); }

  explicit TFileDataFormat(IDataFormatOwner* owner);

  // The list itself; its changes are announced through this format's OnChanging.
  TUnicodeStringList& Files() { return files_; }
  const TUnicodeStringList& Files() const { return files_; }

  void Clear() override { files_.Clear(); }
  bool Assign(TClipboardFormat& format) override;
  bool AssignTo(TClipboardFormat& format) override;
  bool HasData() const override { return files_.Count() > 0; }
  bool NeedsData() const override { return files_.Count() == 0; }

 private:
  TUnicodeStringList files_;
};

class TFileMapDataFormat : public TCustomDataFormat {
 public:
  static const TDataFormatClass& Class();
  const TDataFormatClass& ClassType() const override { return Class(); }

  explicit TFileMapDataFormat(IDataFormatOwner* owner);

  TUnicodeStringList& NameMappings() { return nameMappings_; }
  const TUnicodeStringList& NameMappings() const { return nameMappings_; }

  void Clear() override { nameMappings_.Clear(); }
  bool Assign(TClipboardFormat& format) override;
  bool AssignTo(TClipboardFormat& format) override;
  bool HasData() const override { return nameMappings_.Count() > 0; }
  bool NeedsData() const override { return nameMappings_.Count() == 0; }

 private:
  TUnicodeStringList nameMappings_;
};

}  // namespace foliotally::dragdrop
