// Looks at the pixels of a drawn page, a binary PPM image, for colour: a pixel is coloured
// when its red, green and blue differ by more than kPixelTolerance, and a page is colour
// when at least kMinColouredPixels of its pixels are (a lone stray pixel is no hue anyone
// sees, and a renderer's rounding makes such pixels).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace foliotally::colour {

inline constexpr uint64_t kMinColouredPixels = 4;

enum class PixelVerdict : uint8_t { kColour, kNeutral, kIncomplete };

// Reads a PPM image ("P6", maxval 255 or less) in pieces as they come, so that a large page
// never has to be held whole.
class PixelTally {
 public:
  // Takes the next bytes of the image; bytes beyond its end are ignored.
  void Feed(std::string_view bytes);
  // Colour as soon as enough coloured pixels were seen; neutral once every pixel was seen
  // without; incomplete while pixels are missing or when the header is not a PPM's.
  PixelVerdict Verdict() const;
  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }

 private:
  bool ReadHeader(std::string_view& bytes);
  void CountPixels(std::string_view bytes);

  std::string header_;  // the header's bytes until it is whole
  bool header_done_ = false;
  bool bad_ = false;
  uint32_t width_ = 0, height_ = 0;
  unsigned maxval_ = 255;
  uint64_t bytes_left_ = 0;   // pixel bytes still to come
  unsigned char partial_[3];  // a pixel cut between two pieces
  size_t partial_size_ = 0;
  uint64_t coloured_ = 0;
};

}  // namespace foliotally::colour
