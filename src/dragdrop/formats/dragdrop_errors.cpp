#include "dragdrop/formats/dragdrop_errors.h"

#include <string>

namespace foliotally::dragdrop {

void RaiseListIndexError(int32_t index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void RaiseAssignError(std::string_view sourceClass, std::string_view destClass) {
  throw EConvertError("Cannot assign a " + std::string(sourceClass) + " to a " +
                      std::string(destClass));
}

void DragDropAssert(bool condition) {
  if (!condition) throw EAssertionFailed();
}

}  // namespace foliotally::dragdrop
