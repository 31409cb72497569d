// Feeds arbitrary rows to the stream decoder's PNG predictors, stored or deflated, with
// decode parameters taken from the first bytes, and checks every row it gives against a
// plain reference decoder. A crash, an overread or one wrong byte stops the run.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pagecount/byte_source.h"
#include "pagecount/stream_decoder.h"
#include "pagecount/verdict.h"

namespace {

using foliotally::pdf::StreamFormat;

// The PNG rules, byte by byte, for whole rows of `raw`; empty when a row's tag is unknown.
bool Reference(std::string_view raw, const StreamFormat& format, std::string& out) {
  const size_t bpp = static_cast<size_t>(format.colors);
  const size_t row_bytes = bpp * static_cast<size_t>(format.columns);
  std::string prior(row_bytes, '\0');
  for (size_t at = 0; at + row_bytes + 1 <= raw.size(); at += row_bytes + 1) {
    std::string row(row_bytes, '\0');
    for (size_t i = 0; i < row_bytes; ++i) {
      const int a = i >= bpp ? static_cast<uint8_t>(row[i - bpp]) : 0;
      const int b = static_cast<uint8_t>(prior[i]);
      const int c = i >= bpp ? static_cast<uint8_t>(prior[i - bpp]) : 0;
      const int p = a + b - c;
      const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      int predicted = 0;
      switch (raw[at]) {
        case 0:
          break;
        case 1:
          predicted = a;
          break;
        case 2:
          predicted = b;
          break;
        case 3:
          predicted = (a + b) / 2;
          break;
        case 4:
          predicted = pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
          break;
        default:
          return false;
      }
      row[i] = static_cast<char>(static_cast<uint8_t>(raw[at + 1 + i]) + predicted);
    }
    out += row;
    prior = row;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace foliotally::pdf;
  if (size < 3) return 0;
  StreamFormat format;
  format.flate = (data[0] & 0x80) != 0;
  format.predictor = 10 + data[0] % 6;
  format.colors = 1 + data[1] % 4;
  format.columns = 1 + data[2] % 40;
  const std::string raw(reinterpret_cast<const char*>(data + 3), size - 3);
  std::string stored = raw;
  if (format.flate) {
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    stored.assign(length, '\0');
    if (compress(reinterpret_cast<Bytef*>(stored.data()), &length,
                 reinterpret_cast<const Bytef*>(raw.data()),
                 static_cast<uLong>(raw.size())) != Z_OK)
      return 0;
    stored.resize(length);
  }
  std::string expected;
  const bool tags_valid = Reference(raw, format, expected);
  MemoryByteSource source(stored);
  BlockReader reader(source);
  uint64_t budget = 1u << 24;
  try {
    StreamDecoder decoder(reader, 0, stored.size(), format, budget);
    // Asked in two steps, so that a row split between two calls is exercised.
    decoder.Ensure(expected.size() / 2);
    decoder.Ensure(expected.size() + 1);
    if (!tags_valid || decoder.data() != expected) __builtin_trap();
  } catch (const ReadFailure& failure) {
    // Only an unknown row tag may stop the decoding of these bytes.
    if (tags_valid || failure.verdict != Verdict::kDamaged) __builtin_trap();
  }
  return 0;
}
