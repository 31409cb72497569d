// Decodes a stream's data lazily: only as many bytes as the caller asks for are inflated,
// so an object near the start of a large object stream, or an entry near the start of a
// cross-reference stream, costs little, and a compression bomb costs no more than the
// bytes actually needed (within the stream limit). Handles no filter and /FlateDecode,
// with the PNG predictors (10-15) cross-reference streams use, and the TIFF predictor (2).
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "pagecount/block_reader.h"
#include "pagecount/pdf_object.h"

namespace foliotally::pdf {

inline constexpr int kTiffPredictor = 2;

struct StreamFormat {
  bool flate = false;
  int predictor = 1;
  int colors = 1;
  int bits_per_component = 8;
  int columns = 1;
};

// Reads /Filter and /DecodeParms from a stream dictionary (resolved values only). Throws a
// damaged verdict for filters this reader does not decode.
StreamFormat StreamFormatOf(const Object& dict);

class StreamDecoder {
 public:
  // `budget`: decoded bytes still allowed in this count; decreased as bytes are produced.
  StreamDecoder(BlockReader& reader, uint64_t data_offset, uint64_t data_length,
                const StreamFormat& format, uint64_t& budget);
  ~StreamDecoder();
  StreamDecoder(const StreamDecoder&) = delete;
  StreamDecoder& operator=(const StreamDecoder&) = delete;

  // Decodes until at least `n` bytes are available or the stream ends; returns how many are.
  size_t Ensure(size_t n);
  // True when no more bytes will come.
  bool finished() const { return finished_; }
  std::string_view data() const { return out_; }

 private:
  void InflateMore(size_t want_raw);
  // Reads the two-byte zlib header off the input; false when it ends the stream (it is no
  // zlib header, or it asks for a preset dictionary), as zlib itself would end it.
  bool TakeZlibHeader();
  void Unpredict();
  // Bytes of one predicted row as stored: PNG rows begin with a tag byte, TIFF rows do not.
  size_t RowStride() const { return row_bytes_ + (format_.predictor == kTiffPredictor ? 0 : 1); }

  BlockReader& reader_;
  uint64_t next_in_;  // file offset of the next compressed byte
  uint64_t in_end_;
  StreamFormat format_;
  uint64_t& budget_;
  z_stream zs_{};
  bool zs_ready_ = false;
  bool header_taken_ = false;
  bool raw_done_ = false;
  bool finished_ = false;
  std::string in_buf_;
  std::string raw_;  // inflated bytes not yet through the predictor
  std::string out_;
  std::string prev_row_;
  size_t row_bytes_ = 0;  // bytes of one predicted row, without its tag byte
  size_t bpp_ = 1;
};

}  // namespace foliotally::pdf
