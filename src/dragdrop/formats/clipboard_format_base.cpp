#include "dragdrop/formats/clipboard_format_base.h"

#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/data_format_base.h"
#include "dragdrop/formats/dragdrop_errors.h"

namespace foliotally::dragdrop {

TClipboardFormatClass::TClipboardFormatClass(std::string_view name,
                                             const TClipboardFormatClass* parent, Factory factory,
                                             std::optional<TDataDirections> directions,
                                             Conversions conversions)
    : TMetaClass(name, parent, factory),
      parent_(parent),
      directions_(directions ? *directions
                  : parent   ? parent->directions_
                             : TDataDirections(TDataDirection::ddRead)),
      conversions_(conversions ? conversions
                   : parent    ? parent->conversions_
                               : nullptr) {}

void TClipboardFormatClass::RegisterDataConversions() const {
  if (conversions_) conversions_(*this);
}

const TClipboardFormatClass& TClipboardFormat::Class() {
  static const TClipboardFormatClass cls("TClipboardFormat", nullptr, nullptr);
  return cls;
}

TClipboardFormat::TClipboardFormat(uint32_t medium_mask) { formatEtc_.tymed = medium_mask; }

TClipboardFormat::TClipboardFormat(const TFormatEtc& format) : formatEtc_(format), idKnown_(true) {}

const TFormatEtc& TClipboardFormat::FormatEtc() const {
  if (!idKnown_) {
    formatEtc_.cfFormat = GetClipboardFormat();
    idKnown_ = true;
  }
  return formatEtc_;
}

bool TClipboardFormat::ReadMedium(IDataObject& /*data_object*/, TStgMedium& /*medium*/) {
  return false;
}

bool TClipboardFormat::WriteMedium(const TFormatEtc& /*format*/, TStgMedium& /*medium*/) {
  return false;
}

uint16_t TClipboardFormat::GetClipboardFormat() const {
  throw EDataFormat("Internal error: " + std::string(ClassName()) +
                    ".GetClipboardFormat needs implementation");
}

void TClipboardFormat::SetClipboardFormat(uint16_t id) {
  formatEtc_.cfFormat = id;
  idKnown_ = true;
}

std::string TClipboardFormat::GetClipboardFormatName() const {
  return GetClipboardFormatNameA(FormatEtc().cfFormat);
}

void TClipboardFormat::SetClipboardFormatName(const std::string& /*name*/) {
  throw EDataFormat(std::string(ClassName()) + ".ClipboardFormat is read-only");
}

uint32_t TClipboardFormat::ProbeMedia(IDataObject& data_object) {
  return ProbeOwnMedia(data_object, false);
}

bool TClipboardFormat::HasValidFormats(IDataObject& data_object) {
  return ProbeOwnMedia(data_object, true) != 0;
}

// Asks for the own media one bit at a time, lowest first; `first_only` stops at the first
// medium offered.
uint32_t TClipboardFormat::ProbeOwnMedia(IDataObject& data_object, bool first_only) {
  TFormatEtc probe = FormatEtc();
  const uint32_t own = probe.tymed;
  uint32_t offered = 0;
  for (uint64_t bit = 1; bit <= own; bit <<= 1) {
    if ((own & bit) == 0) continue;
    probe.tymed = static_cast<uint32_t>(bit);
    if (data_object.QueryGetData(probe) != S_OK) continue;
    offered |= probe.tymed;
    if (first_only) break;
  }
  return offered;
}

bool TClipboardFormat::AcceptFormat(const TFormatEtc& format) const {
  const TFormatEtc& own = FormatEtc();
  return format.cfFormat == own.cfFormat && !format.ptd && format.dwAspect == own.dwAspect &&
         (format.tymed & own.tymed) != 0;
}

bool TClipboardFormat::GetData(IDataObject& data_object) {
  Clear();
  TFormatEtc request = FormatEtc();
  request.tymed = ProbeMedia(data_object);
  TStgMedium medium;
  if (Failed(data_object.GetData(request, medium))) return false;
  return ReadFromMedium(data_object, std::move(medium));
}

bool TClipboardFormat::ReadFromMedium(IDataObject& data_object, TStgMedium medium) {
  Clear();
  if ((medium.Tymed() & FormatEtc().tymed) == 0) return false;
  return ReadMedium(data_object, medium);
}

bool TClipboardFormat::SetData(IDataObject& data_object, const TFormatEtc& format,
                               TStgMedium& medium) {
  medium.Release();
  const TFormatEtc& own = FormatEtc();
  bool result = format.cfFormat == own.cfFormat && format.dwAspect == own.dwAspect &&
                (format.tymed & own.tymed) != 0 && WriteMedium(format, medium) &&
                Succeeded(data_object.SetData(own, medium, true));
  if (!result) medium.Release();
  return result;
}

bool TClipboardFormat::Assign(TCustomDataFormat& /*data_format*/) { return false; }

bool TClipboardFormat::AssignTo(TCustomDataFormat& /*data_format*/) { return false; }

}  // namespace foliotally::dragdrop
