#include "dragdrop/target/drag_drop_component.h"

namespace foliotally::dragdrop {

void TDragDropComponent::GetCompatibleFormats(const TDataFormatClass&, TClipboardFormats& formats) {
  formats.Clear();
}

}  // namespace foliotally::dragdrop
