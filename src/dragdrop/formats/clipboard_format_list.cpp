#include "dragdrop/formats/clipboard_format_list.h"

#include "dragdrop/formats/data_format_base.h"
#include "dragdrop/formats/dragdrop_errors.h"
#include "errors/index_errors.h"

namespace foliotally::dragdrop {

int32_t TClipboardFormats::Add(std::unique_ptr<TClipboardFormat> format) {
  DragDropAssert(ownsObjects_ && format != nullptr);
  if (dataFormat_ != nullptr) format->DataFormat = dataFormat_;
  TClipboardFormat* item = format.get();
  items_.push_back({item, std::move(format)});
  return Count() - 1;
}

int32_t TClipboardFormats::Add(TClipboardFormat& format) {
  DragDropAssert(!ownsObjects_);
  items_.push_back({&format, nullptr});
  return Count() - 1;
}

TClipboardFormat* TClipboardFormats::FindFormat(const TClipboardFormatClass& cls) const {
  for (const Item& item : items_) {
    if (item.format->ClassType().InheritsFrom(cls)) return item.format;
  }
  return nullptr;
}

TClipboardFormat& TClipboardFormats::FormatByClass(const TClipboardFormatClass& cls) const {
  TClipboardFormat* format = FindFormat(cls);
  if (format == nullptr) {
    std::string owner(dataFormat_ ? dataFormat_->ClassName() : std::string_view());
    throw EDataFormat("Clipboard format " + std::string(cls.ClassName()) + " does not exist in " +
                      owner + "'s list of copatible formats");
  }
  return *format;
}

TClipboardFormat& TClipboardFormats::Items(int32_t index) const {
  CheckListIndex<EListError>(index, Count());
  return *items_[static_cast<size_t>(index)].format;
}

void TClipboardFormats::Clear() {
  while (!items_.empty()) items_.pop_back();
}

}  // namespace foliotally::dragdrop
