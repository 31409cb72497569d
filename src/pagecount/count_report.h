// A count's verdict and reason as the library hands them to a C caller.
#pragma once

#include <cstdint>

#include "pagecount/foliotally.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

// Writes `result` into `*out` (when not null) and returns its result code. Never throws.
int32_t Report(const CountResult& result, FoliotallyCount* out);

}  // namespace foliotally::pdf
