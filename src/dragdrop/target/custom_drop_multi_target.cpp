#include "dragdrop/target/custom_drop_multi_target.h"

#include "dragdrop/formats/dragdrop_errors.h"

namespace foliotally::dragdrop {

TCustomDropMultiTarget::TCustomDropMultiTarget(IDropPlatform& platform)
    : TCustomDropTarget(platform) {
  SetDragTypes({TDragType::dtCopy, TDragType::dtLink});
  SetGetDataOnEnter(false);
}

TCustomDropMultiTarget::~TCustomDropMultiTarget() {
  WaitForTransfer();
  while (!owned_.empty()) owned_.pop_back();
}

// A data format that offers one of its formats counts when OnCheckFormat lets it.
bool TCustomDropMultiTarget::Accepts(TCustomDataFormat& data_format, IDataObject& data_object) {
  if (!data_format.HasValidFormats(data_object)) return false;
  bool accept = true;
  FireCheckFormat(data_format, accept);
  return accept;
}

bool TCustomDropMultiTarget::FetchDataNow() {
  IDataObject* data_object = DataObject();
  if (data_object == nullptr) return false;
  bool result = false;
  for (int32_t i = 0; i < DataFormats().Count(); ++i) {
    TCustomDataFormat& data_format = DataFormats().Items(i);
    if (Accepts(data_format, *data_object)) result = data_format.GetData(*data_object) || result;
  }
  return result;
}

void TCustomDropMultiTarget::ClearData() {
  if (Transferring())
    throw EDataFormat("Can't clear data while async data transfer is in progress");
  for (int32_t i = 0; i < DataFormats().Count(); ++i) DataFormats().Items(i).Clear();
}

bool TCustomDropMultiTarget::AcceptsDataObject(IDataObject& data_object) {
  std::unique_ptr<IEnumFormatEtc> formats;
  if (Failed(data_object.EnumFormatEtc(DATADIR_GET, formats)) || !formats) return false;
  if (Failed(formats->Reset())) return false;
  TFormatEtc descriptor;
  uint32_t fetched = 0;
  while (formats->Next(std::span(&descriptor, 1), fetched) == S_OK && fetched == 1) {
    for (int32_t i = 0; i < DataFormats().Count(); ++i) {
      TCustomDataFormat& data_format = DataFormats().Items(i);
      if (data_format.AcceptFormat(descriptor) && Accepts(data_format, data_object)) return true;
    }
  }
  return false;
}

void TCustomDropMultiTarget::FireCheckFormat(TCustomDataFormat& data_format, bool& accept) {
  if (OnCheckFormat) OnCheckFormat(*this, data_format, accept);
}

}  // namespace foliotally::dragdrop
