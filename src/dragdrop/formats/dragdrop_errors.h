// The errors the drag-and-drop format code raises, with their message texts. The drop
// target catches them at the protocol boundary; none reaches the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "errors/errors.h"

namespace foliotally::dragdrop {

// A format or registry used against its contract ("needs implementation", "read-only",
// a class missing from a list of compatible formats).
class EDataFormat : public Exception {
  using Exception::Exception;
};
// An object asked to take the state of one it cannot take it from.
class EConvertError : public Exception {
  using Exception::Exception;
};
// A number that does not fit where it must go (a stream size beyond 31 bits, a format id
// beyond 16 bits).
class ERangeError : public Exception {
 public:
  ERangeError() : Exception("Range check error") {}
};
// A programming error inside the framework, never an input error.
class EAssertionFailed : public Exception {
 public:
  EAssertionFailed() : Exception("Assertion failure (DragDrop)") {}
};

// "Cannot assign a %s to a %s".
[[noreturn]] void RaiseAssignError(std::string_view source_class, std::string_view dest_class);
// Raises EAssertionFailed unless `condition` holds.
void DragDropAssert(bool condition);

}  // namespace foliotally::dragdrop
