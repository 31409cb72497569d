#include "dragdrop/target/drop_file_target.h"

namespace foliotally::dragdrop {

TDropFileTarget::TDropFileTarget(IDropPlatform& platform)
    : TCustomDropMultiTarget(platform),
      fileFormat_(AddDataFormat<TFileDataFormat>()),
      mapFormat_(AddDataFormat<TFileMapDataFormat>()) {
  SetOptimizedMove(true);
}

uint32_t TDropFileTarget::ReadPreferredDropEffect() {
  const uint32_t preferred = TCustomDropMultiTarget::ReadPreferredDropEffect();
  return preferred != DROPEFFECT_NONE ? preferred : DROPEFFECT_COPY;
}

}  // namespace foliotally::dragdrop
