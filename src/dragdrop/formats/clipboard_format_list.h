// An ordered list of clipboard format objects, belonging to a data format or to nobody,
// owning its items or not.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dragdrop/formats/clipboard_format_base.h"

namespace foliotally::dragdrop {

class TClipboardFormats {
 public:
  TClipboardFormats(TCustomDataFormat* data_format, bool owns_objects)
      : dataFormat_(data_format), ownsObjects_(owns_objects) {}
  ~TClipboardFormats() { Clear(); }
  TClipboardFormats(const TClipboardFormats&) = delete;
  TClipboardFormats& operator=(const TClipboardFormats&) = delete;

  // Appends a format to a list that owns its items; when the list belongs to a data
  // format, the item is marked as that data format's.
  int32_t Add(std::unique_ptr<TClipboardFormat> format);
  // Appends a format the caller keeps, to a list that does not own its items.
  int32_t Add(TClipboardFormat& format);

  // The first item of class `cls` or a descendant of it, or null.
  TClipboardFormat* FindFormat(const TClipboardFormatClass& cls) const;
  // The same, but a missing class raises "Clipboard format %s does not exist in %s's list
  // of copatible formats".
  TClipboardFormat& FormatByClass(const TClipboardFormatClass& cls) const;

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  TClipboardFormat& Items(int32_t index) const;
  // Frees owned items, last first, and empties the list.
  void Clear();

  bool OwnsObjects() const { return ownsObjects_; }
  TCustomDataFormat* DataFormat() const { return dataFormat_; }

 private:
  struct Item {
    TClipboardFormat* format;
    std::unique_ptr<TClipboardFormat> owned;
  };
  TCustomDataFormat* dataFormat_;
  bool ownsObjects_;
  std::vector<Item> items_;
};

}  // namespace foliotally::dragdrop
