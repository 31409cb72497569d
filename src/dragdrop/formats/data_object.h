// The data object of a drag: what the dragged data offers and how to fetch it, and the
// place where a target writes values back. It is the one interface the format code talks
// to; the Qt side presents a drag's mime data through it, tests use a double of it.
//
// Reading runs in two steps: QueryGetData asks, one descriptor at a time, whether a format
// can be had on a medium; GetData then fetches it. Descriptors whose mask holds several
// media let the data object pick one; the medium it returns says which.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "dragdrop/formats/format_etc.h"
#include "dragdrop/formats/hresult.h"
#include "dragdrop/formats/stg_medium.h"

namespace foliotally::dragdrop {

// Directions of format enumeration.
inline constexpr uint32_t DATADIR_GET = 1;
inline constexpr uint32_t DATADIR_SET = 2;

// The formats a data object can render, in its own order of preference.
class IEnumFormatEtc {
 public:
  virtual ~IEnumFormatEtc() = default;
  // Fills up to descriptors.size() descriptors and tells how many it filled; S_OK when it
  // filled them all, S_FALSE when it ran out.
  virtual HResult Next(std::span<TFormatEtc> descriptors, uint32_t& fetched) = 0;
  virtual HResult Skip(uint32_t count) = 0;
  virtual HResult Reset() = 0;
};

class IDataObject {
 public:
  virtual ~IDataObject() = default;

  // Renders the format into a new medium of one of the descriptor's media. On success
  // `medium` holds it and the caller owns it; on failure `medium` is left empty.
  virtual HResult GetData(const TFormatEtc& format, TStgMedium& medium) = 0;
  // S_OK when GetData with this descriptor would succeed.
  virtual HResult QueryGetData(const TFormatEtc& format) = 0;
  // Takes a value written by the other side of the drag. With `release` true the data
  // object takes the medium over on success (moving it out of `medium`); on failure the
  // medium stays with the caller, who releases it.
  virtual HResult SetData(const TFormatEtc& format, TStgMedium& medium, bool release) = 0;
  // An enumerator of the formats for DATADIR_GET (reading) or DATADIR_SET (writing).
  virtual HResult EnumFormatEtc(uint32_t direction,
                                std::unique_ptr<IEnumFormatEtc>& enumerator) = 0;
};

}  // namespace foliotally::dragdrop
