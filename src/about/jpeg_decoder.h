// Decodes a JPEG picture held in memory into packed 8-bit RGB pixels, through libjpeg.
// No Qt here: the widgets wrap the result in a QImage (see pictures.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace foliotally {

// Pixels row after row, three bytes (red, green, blue) per pixel, no padding.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// Either a picture or the reason there is none (libjpeg's own message where it has one).
struct JpegDecodeResult {
  std::optional<DecodedPicture> picture;
  std::string error;

  bool ok() const { return picture.has_value(); }
};

// The largest picture accepted, in pixels: a header that claims more is refused before any
// pixel memory is taken, so a crafted file cannot make the program allocate gigabytes.
inline constexpr std::uint64_t kMaxJpegPixels = 64ull * 1024 * 1024;

// Decodes `bytes` as a baseline or progressive JPEG file (grayscale or colour). A file that
// is not a JPEG, is cut short, or whose compressed data is corrupt gives an error, never a
// partly grey picture and never an exit from the process.
JpegDecodeResult DecodeJpeg(std::span<const std::uint8_t> bytes,
                            std::uint64_t max_pixels = kMaxJpegPixels);

}  // namespace foliotally
