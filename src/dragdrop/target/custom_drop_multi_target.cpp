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
bool TCustomDropMultiTarget::Accepts(TCustomDataFormat& dataFormat, IDataObject& dataObject) {
  if (!dataFormat.HasValidFormats(dataObject)) return false;
  bool accept = true;
  FireCheckFormat(dataFormat, accept);
  return accept;
}

bool TCustomDropMultiTarget::FetchDataNow() {
  IDataObject* dataObject = DataObject();
  if (dataObject == nullptr) return false;
  bool result = false;
  for (int32_t i = 0; i < DataFormats().Count(); ++i) {
    TCustomDataFormat& dataFormat = DataFormats().Items(i);
    if (Accepts(dataFormat, *dataObject)) result = dataFormat.GetData(*dataObject) || result;
  }
  return result;
}

void TCustomDropMultiTarget::ClearData() {
  if (Transferring())
    throw EDataFormat("Can't clear data while async data transfer is in progress");
  for (int32_t i = 0; i < DataFormats().Count(); ++i) DataFormats().Items(i).Clear();
}

bool TCustomDropMultiTarget::AcceptsDataObject(IDataObject& dataObject) {
  std::unique_ptr<IEnumFormatEtc> formats;
  if (Failed(dataObject.EnumFormatEtc(DATADIR_GET, formats)) || !formats) return false;
  if (Failed(formats->Reset())) return false;
  TFormatEtc descriptor;
  uint32_t fetched = 0;
  while (formats->Next(std::span(&descriptor, 1), fetched) == S_OK && fetched == 1) {
    for (int32_t i = 0; i < DataFormats().Count(); ++i) {
      TCustomDataFormat& dataFormat = DataFormats().Items(i);
      if (dataFormat.AcceptFormat(descriptor) && Accepts(dataFormat, dataObject)) return true;
    }
  }
  return false;
}

void TCustomDropMultiTarget::FireCheckFormat(TCustomDataFormat& dataFormat, bool& accept) {
  if (OnCheckFormat) OnCheckFormat(*this, dataFormat, accept);
}

}  // namespace foliotally::dragdrop
