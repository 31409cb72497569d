#include "dragdrop/formats/dragdrop_errors.h"

#include <string>

namespace foliotally::dragdrop {

void RaiseAssignError(std::string_view source_class, std::string_view dest_class) {
  throw EConvertError("Cannot assign a " + std::string(source_class) + " to a " +
                      std::string(dest_class));
}

void DragDropAssert(bool condition) {
  if (!condition) throw EAssertionFailed();
}

}  // namespace foliotally::dragdrop
