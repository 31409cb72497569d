// The reader of a list of NUL-terminated names ended by an empty name, as CF_HDROP and the
// name-map formats carry it.
#pragma once

#include <cstdint>
#include <span>

namespace foliotally::dragdrop {

class TUnicodeStrings;

// Adds the names of `bytes` to `names` in the payload's order, as stored (8-bit names
// converted from the system code page). Stops at the empty name or at the end of the
// payload; a name whose NUL lies beyond the payload is dropped, never read past. True when
// at least one name was added.
bool ParseNameList(std::span<const uint8_t> bytes, bool wide, TUnicodeStrings& names);

}  // namespace foliotally::dragdrop
