// Result codes of the data-object interfaces, in the values OLE gives them, so that what a
// drop target answers and what a data object reports read the same as on the platform the
// protocol comes from.
#pragma once

#include <cstdint>

namespace foliotally::dragdrop {

using HResult = int32_t;

inline constexpr HResult S_OK = 0;
inline constexpr HResult S_FALSE = 1;
inline constexpr HResult E_NOTIMPL = static_cast<HResult>(0x80004001u);
inline constexpr HResult E_FAIL = static_cast<HResult>(0x80004005u);
inline constexpr HResult E_UNEXPECTED = static_cast<HResult>(0x8000FFFFu);
inline constexpr HResult E_INVALIDARG = static_cast<HResult>(0x80070057u);
inline constexpr HResult E_OUTOFMEMORY = static_cast<HResult>(0x8007000Eu);
inline constexpr HResult DV_E_FORMATETC = static_cast<HResult>(0x80040064u);
inline constexpr HResult DV_E_LINDEX = static_cast<HResult>(0x80040068u);
inline constexpr HResult DV_E_TYMED = static_cast<HResult>(0x80040069u);
inline constexpr HResult DV_E_CLIPFORMAT = static_cast<HResult>(0x8004006Au);
inline constexpr HResult DV_E_DVASPECT = static_cast<HResult>(0x8004006Bu);
inline constexpr HResult STG_E_INVALIDFUNCTION = static_cast<HResult>(0x80030001u);
inline constexpr HResult STG_E_MEDIUMFULL = static_cast<HResult>(0x80030070u);

constexpr bool Succeeded(HResult result) { return result >= 0; }
constexpr bool Failed(HResult result) { return result < 0; }

}  // namespace foliotally::dragdrop
