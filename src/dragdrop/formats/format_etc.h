// The format descriptor that a data object is asked with: which format, in which aspect,
// on which storage media. Laid out as OLE's FORMATETC so that the shell formats keep their
// meaning; only the target device is reduced to a flag, because no format here names one.
#pragma once

#include <cstdint>

namespace foliotally::dragdrop {

// Storage media, as bits of a medium mask.
inline constexpr uint32_t TYMED_NULL = 0;
inline constexpr uint32_t TYMED_HGLOBAL = 1;
inline constexpr uint32_t TYMED_FILE = 2;
inline constexpr uint32_t TYMED_ISTREAM = 4;
inline constexpr uint32_t TYMED_ISTORAGE = 8;
inline constexpr uint32_t TYMED_GDI = 16;
inline constexpr uint32_t TYMED_MFPICT = 32;
inline constexpr uint32_t TYMED_ENHMF = 64;
// The mask that accepts any medium (−1 as a signed number).
inline constexpr uint32_t TYMED_ANY = 0xFFFFFFFFu;

inline constexpr uint32_t DVASPECT_CONTENT = 1;

struct TFormatEtc {
  uint16_t cfFormat = 0;
  bool ptd = false;  // names a target device
  uint32_t dwAspect = DVASPECT_CONTENT;
  int32_t lindex = -1;
  uint32_t tymed = TYMED_NULL;

  friend bool operator==(const TFormatEtc&, const TFormatEtc&) = default;
};

}  // namespace foliotally::dragdrop
