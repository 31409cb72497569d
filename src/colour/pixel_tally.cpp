#include "colour/pixel_tally.h"

#include <algorithm>
#include <charconv>

#include "colour/colour_space.h"

namespace foliotally::colour {

namespace {

// A header is "P6", width, height and maxval, separated by white space (comments allowed),
// and one white-space byte before the pixels; far shorter than this.
constexpr size_t kMaxHeader = 512;
// Larger than any page the renderer is asked to draw.
constexpr uint64_t kMaxSide = 1u << 16;

bool IsSpace(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\v';
}

}  // namespace

bool PixelTally::ReadHeader(std::string_view& bytes) {
  // Fields are taken from the bytes seen so far; the header is whole once the byte after
  // the maxval has come.
  const size_t take = std::min(bytes.size(), kMaxHeader - header_.size());
  header_.append(bytes.substr(0, take));
  uint64_t fields[3] = {0, 0, 0};
  size_t at = 0;
  if (header_.size() >= 2 && header_.compare(0, 2, "P6") != 0) {
    bad_ = true;
    return false;
  }
  at = 2;
  for (uint64_t& field : fields) {
    while (at < header_.size() && (IsSpace(header_[at]) || header_[at] == '#')) {
      if (header_[at] == '#') {
        while (at < header_.size() && header_[at] != '\n') ++at;
      } else {
        ++at;
      }
    }
    const char* begin = header_.data() + at;
    const char* end = header_.data() + header_.size();
    const auto [ptr, error] = std::from_chars(begin, end, field);
    if (error != std::errc() || ptr == end) {
      if (header_.size() >= kMaxHeader) bad_ = true;
      return false;  // more bytes needed (or a bad header, when the room is used up)
    }
    at = static_cast<size_t>(ptr - header_.data());
  }
  if (!IsSpace(header_[at]) || fields[0] == 0 || fields[1] == 0 || fields[0] > kMaxSide ||
      fields[1] > kMaxSide || fields[2] == 0 || fields[2] > 255) {
    bad_ = true;
    return false;
  }
  width_ = static_cast<uint32_t>(fields[0]);
  height_ = static_cast<uint32_t>(fields[1]);
  maxval_ = static_cast<unsigned>(fields[2]);
  bytes_left_ = uint64_t{width_} * height_ * 3;
  header_done_ = true;
  // What came after the header in this piece is pixels.
  const size_t pixels_from = at + 1 - (header_.size() - take);
  bytes.remove_prefix(std::min(bytes.size(), pixels_from));
  return true;
}

void PixelTally::Feed(std::string_view bytes) {
  if (bad_) return;
  if (!header_done_ && !ReadHeader(bytes)) return;
  CountPixels(bytes.substr(0, std::min<uint64_t>(bytes.size(), bytes_left_)));
}

void PixelTally::CountPixels(std::string_view bytes) {
  bytes_left_ -= bytes.size();
  const unsigned tolerance = kPixelTolerance * maxval_ / 255;
  const auto check = [&](const unsigned char* p) {
    const unsigned hi = std::max({p[0], p[1], p[2]});
    const unsigned lo = std::min({p[0], p[1], p[2]});
    if (hi - lo > tolerance) ++coloured_;
  };
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size();
  while (partial_size_ > 0 && partial_size_ < 3 && n > 0) {
    partial_[partial_size_++] = *p++;
    --n;
    if (partial_size_ == 3) {
      check(partial_);
      partial_size_ = 0;
      break;
    }
  }
  for (; n >= 3; p += 3, n -= 3) check(p);
  for (; n > 0; --n) partial_[partial_size_++] = *p++;
}

PixelVerdict PixelTally::Verdict() const {
  if (coloured_ >= kMinColouredPixels) return PixelVerdict::kColour;
  if (header_done_ && bytes_left_ == 0) return PixelVerdict::kNeutral;
  return PixelVerdict::kIncomplete;
}

}  // namespace foliotally::colour
