// The error of an index outside a list, shared by every list-like class: the text is the
// same everywhere, the class (EListError, EStringListError, ...) is the caller's.
#pragma once

#include <cstdint>
#include <string>

namespace foliotally {

// Raises `Error` with "List index out of bounds (%d)".
template <typename Error>
[[noreturn]] void ThrowIndexOutOfBounds(int64_t index) {
  throw Error("List index out of bounds (" + std::to_string(index) + ")");
}

// Raises `Error` unless 0 <= index < count.
template <typename Error>
void CheckListIndex(int64_t index, int64_t count) {
  if (index < 0 || index >= count) ThrowIndexOutOfBounds<Error>(index);
}

}  // namespace foliotally
