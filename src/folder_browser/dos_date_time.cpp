#include "folder_browser/dos_date_time.h"

#include <ctime>

namespace foliotally {

bool PackDosDateTime(int64_t seconds_since_epoch, int32_t& packed) {
  // Before 1980 in every time zone (none is more than 14 hours ahead of UTC): such a time,
  // and the 0 that a walk's entries carry, need no conversion.
  constexpr int64_t kBefore1980Everywhere = 315532800 - 14 * 3600;
  if (seconds_since_epoch < kBefore1980Everywhere) return false;
  const time_t moment = static_cast<time_t>(seconds_since_epoch);
  std::tm local{};
  if (localtime_r(&moment, &local) == nullptr) return false;
  const int year = local.tm_year + 1900;
  if (year < 1980 || year > 2107) return false;
  const uint32_t date =
      static_cast<uint32_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
  // A leap second (tm_sec 60) still fits the 5-bit field as 30.
  const uint32_t time =
      static_cast<uint32_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
  packed = static_cast<int32_t>(date << 16 | time);
  return true;
}

}  // namespace foliotally
