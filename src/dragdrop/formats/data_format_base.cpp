#include "dragdrop/formats/data_format_base.h"

#include "dragdrop/formats/data_format_list.h"
#include "dragdrop/formats/data_format_registry.h"
#include "dragdrop/formats/dragdrop_errors.h"

namespace foliotally::dragdrop {

TDataFormatClass::TDataFormatClass(std::string_view name, const TDataFormatClass* parent,
                                   Factory factory, Registration register_compatible_formats)
    : TMetaClass(name, parent, factory),
      parent_(parent),
      registration_(register_compatible_formats ? register_compatible_formats
                    : parent                    ? parent->registration_
                                                : nullptr) {}

void TDataFormatClass::RegisterCompatibleFormats() const {
  if (registration_) registration_(*this);
}

const TDataFormatClass& TCustomDataFormat::Class() {
  static const TDataFormatClass cls("TCustomDataFormat", nullptr, nullptr);
  return cls;
}

TCustomDataFormat::TCustomDataFormat(IDataFormatOwner* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->DataFormats().Add(*this);
}

TCustomDataFormat::~TCustomDataFormat() {
  compatibleFormats_.reset();
  if (owner_ != nullptr) owner_->DataFormats().Remove(*this);
}

std::unique_ptr<TCustomDataFormat> TCustomDataFormat::CreateFormat(const TDataFormatClass& cls,
                                                                   TDataDirection direction) {
  std::unique_ptr<TCustomDataFormat> format = cls.Create(nullptr);
  DragDropAssert(format != nullptr);
  format->compatibleFormats_ = std::make_unique<TClipboardFormats>(format.get(), true);
  TDataFormatMap::Instance().GetCompatibleFormats(cls, *format->compatibleFormats_, direction);
  return format;
}

void TCustomDataFormat::Changing() {
  if (OnChanging) OnChanging(*this);
}

bool TCustomDataFormat::Assign(TClipboardFormat& format) { return format.AssignTo(*this); }

bool TCustomDataFormat::AssignTo(TClipboardFormat& format) { return format.Assign(*this); }

bool TCustomDataFormat::GetData(IDataObject& data_object) {
  bool result = false;
  TClipboardFormats& formats = CompatibleFormats();
  for (int32_t i = 0; i < formats.Count() && NeedsData(); ++i) {
    TClipboardFormat& format = formats.Items(i);
    format.Clear();
    if (format.GetData(data_object) && format.HasData() && Assign(format)) {
      // The data lives in the data format only.
      format.Clear();
      result = true;
    }
  }
  return result;
}

bool TCustomDataFormat::HasValidFormats(IDataObject& data_object) {
  TClipboardFormats& formats = CompatibleFormats();
  for (int32_t i = 0; i < formats.Count(); ++i) {
    if (formats.Items(i).HasValidFormats(data_object)) return true;
  }
  return false;
}

bool TCustomDataFormat::AcceptFormat(const TFormatEtc& format) {
  TClipboardFormats& formats = CompatibleFormats();
  for (int32_t i = 0; i < formats.Count(); ++i) {
    if (formats.Items(i).AcceptFormat(format)) return true;
  }
  return false;
}

TClipboardFormats& TCustomDataFormat::CompatibleFormats() {
  if (!compatibleFormats_) {
    DragDropAssert(owner_ != nullptr);
    compatibleFormats_ = std::make_unique<TClipboardFormats>(this, true);
    owner_->GetCompatibleFormats(ClassType(), *compatibleFormats_);
  }
  return *compatibleFormats_;
}

}  // namespace foliotally::dragdrop
