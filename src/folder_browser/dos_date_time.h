// The packed DOS date-time of the directory search: date in the high 16 bits (years since
// 1980, month, day), time in the low 16 bits (hours, minutes, seconds / 2).
#pragma once

#include <cstdint>

namespace foliotally {

// Packs a moment (seconds since the epoch, UTC) in local time. False when the local year
// lies outside 1980 to 2107, the range the packed form can hold.
bool PackDosDateTime(int64_t seconds_since_epoch, int32_t& packed);

}  // namespace foliotally
