// Overflow-checked arithmetic for the running totals: a sum that leaves the signed 32-bit
// range raises "Integer overflow" instead of wrapping.
#pragma once

#include <cstdint>

#include "errors/errors.h"

namespace foliotally {

inline int32_t CheckedAdd(int32_t a, int32_t b) {
  int32_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) throw EIntOverflow();
  return sum;
}

}  // namespace foliotally
