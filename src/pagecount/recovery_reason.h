// Why a count was read from a reconstruction, in the words a user is told.
#pragma once

#include <cstdint>

#include "pagecount/byte_source.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

// `found`, read from a reconstruction by the means `how`, marked as recovered (see
// Recovered). A file whose end is missing is said to end early, after the object whose
// header stands last in it (`last_object`, or found in its tail when negative): the cut is
// the damage a user can act on, whatever repair then read the rest. Never throws.
CountResult RecoveredFrom(ByteSource& source, CountResult found, const char* how,
                          int64_t last_object = -1);

// Whether the file's tail holds "startxref", which every complete file ends with.
bool HasEnd(ByteSource& source);

}  // namespace foliotally::pdf
