#include "pagecount/stream_decoder.h"

#include <algorithm>
#include <cstdlib>

#include "pagecount/limits.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

namespace {

int IntOr(const Object* o, int fallback) {
  if (!o || !o->IsInt() || o->value < 0 || o->value > (1 << 24)) return fallback;
  return static_cast<int>(o->value);
}

bool IsFlateName(const Object& o) { return o.IsName("FlateDecode") || o.IsName("Fl"); }

constexpr size_t kInChunk = 16 * 1024;
constexpr size_t kOutStep = 2048;

// Undoes a PNG predictor (`tag`) on one row of `n` bytes, `bpp` to a pixel, from the stored
// `in` and the row decoded before it, `up`, into `cur`. One loop for each kind of row.
void UnpredictRow(unsigned tag, const unsigned char* in, const unsigned char* up,
                  unsigned char* cur, size_t n, size_t bpp) {
  const size_t lead = std::min(bpp, n);  // bytes without a pixel before them
  switch (tag) {
    case 0:
      std::copy(in, in + n, cur);
      return;
    case 1:
      std::copy(in, in + lead, cur);
      for (size_t i = lead; i < n; ++i) cur[i] = static_cast<unsigned char>(in[i] + cur[i - bpp]);
      return;
    case 2:
      for (size_t i = 0; i < n; ++i) cur[i] = static_cast<unsigned char>(in[i] + up[i]);
      return;
    case 3:
      for (size_t i = 0; i < lead; ++i) cur[i] = static_cast<unsigned char>(in[i] + up[i] / 2);
      for (size_t i = lead; i < n; ++i)
        cur[i] = static_cast<unsigned char>(in[i] + (cur[i - bpp] + up[i]) / 2);
      return;
    case 4:
      for (size_t i = 0; i < n; ++i) {
        const int left = i >= bpp ? cur[i - bpp] : 0;
        const int upper = up[i];
        const int upper_left = i >= bpp ? up[i - bpp] : 0;
        const int p = left + upper - upper_left;
        const int pa = std::abs(p - left), pb = std::abs(p - upper), pc = std::abs(p - upper_left);
        const int v = (pa <= pb && pa <= pc) ? left : (pb <= pc ? upper : upper_left);
        cur[i] = static_cast<unsigned char>(in[i] + v);
      }
      return;
    default:
      Damaged("bad predictor tag");
  }
}

}  // namespace

StreamFormat StreamFormatOf(const Object& dict) {
  StreamFormat format;
  const Object* filter = dict.Find("Filter");
  const Object* parms = dict.Find("DecodeParms");
  if (filter && filter->IsArray()) {
    if (filter->items.size() > 1) Damaged("filter chain");
    filter = filter->items.empty() ? nullptr : &filter->items[0];
    if (parms && parms->IsArray()) parms = parms->items.empty() ? nullptr : &parms->items[0];
  }
  if (filter && !filter->IsNull()) {
    if (!IsFlateName(*filter)) Damaged("unsupported filter");
    format.flate = true;
  }
  if (format.flate && parms && parms->IsDict()) {
    format.predictor = IntOr(parms->Find("Predictor"), 1);
    format.colors = IntOr(parms->Find("Colors"), 1);
    format.bits_per_component = IntOr(parms->Find("BitsPerComponent"), 8);
    format.columns = IntOr(parms->Find("Columns"), 1);
    const bool known =
        format.predictor == kTiffPredictor || (format.predictor >= 10 && format.predictor <= 15);
    if (format.predictor != 1 &&
        (!known || format.bits_per_component != 8 || format.colors < 1 || format.colors > 4 ||
         format.columns < 1 || format.columns > (1 << 16)))
      Damaged("unsupported predictor");
  }
  return format;
}

StreamDecoder::StreamDecoder(BlockReader& reader, uint64_t data_offset, uint64_t data_length,
                             const StreamFormat& format, uint64_t& budget)
    : reader_(reader),
      next_in_(data_offset),
      in_end_(std::min(reader.size(), data_offset + data_length)),
      format_(format),
      budget_(budget) {
  if (format_.predictor >= 10 || format_.predictor == kTiffPredictor) {
    bpp_ = static_cast<size_t>(format_.colors);
    row_bytes_ = static_cast<size_t>(format_.colors) * static_cast<size_t>(format_.columns);
    prev_row_.assign(row_bytes_, '\0');
  }
  if (format_.flate) {
    // The deflate data is inflated raw, its zlib header read here: zlib would otherwise
    // sum every byte it inflates for the trailer's check, whose failure could only end a
    // stream that has already ended.
    if (inflateInit2(&zs_, -15) != Z_OK) Fail(Verdict::kUnreadable, "zlib");
    zs_ready_ = true;
  }
}

StreamDecoder::~StreamDecoder() {
  if (zs_ready_) inflateEnd(&zs_);
}

size_t StreamDecoder::Ensure(size_t n) {
  if (n > limits::kMaxStreamBytes) Damaged("stream too long");
  while (out_.size() < n && !finished_) {
    const size_t missing = n - out_.size();
    // Small steps: most wanted objects sit near the start of their stream.
    InflateMore(std::max<size_t>(missing + (row_bytes_ ? row_bytes_ + 1 : 0), kOutStep));
    Unpredict();
    if (raw_done_ && (row_bytes_ == 0 || raw_.size() < RowStride())) finished_ = true;
  }
  return out_.size();
}

void StreamDecoder::InflateMore(size_t want_raw) {
  if (raw_done_) return;
  const size_t goal = raw_.size() + want_raw;
  while (raw_.size() < goal && !raw_done_) {
    if (!format_.flate) {
      // Stored data: copy it straight from the file.
      const size_t n =
          static_cast<size_t>(std::min<uint64_t>(goal - raw_.size(), in_end_ - next_in_));
      if (n == 0) {
        raw_done_ = true;
        break;
      }
      const std::string_view in = reader_.Read(next_in_, n, in_buf_);
      if (in.empty()) {
        raw_done_ = true;
        break;
      }
      if (in.size() > budget_) Damaged("decode budget");
      budget_ -= in.size();
      next_in_ += in.size();
      raw_ += in;
      continue;
    }
    if (zs_.avail_in == 0) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(kInChunk, in_end_ - next_in_));
      if (n == 0) {
        raw_done_ = true;  // the data ended before the compressed stream did
        break;
      }
      const std::string_view in = reader_.Read(next_in_, n, in_buf_);
      if (in.empty()) {
        raw_done_ = true;
        break;
      }
      next_in_ += in.size();
      // zlib only reads its input; its pointer is not const unless ZLIB_CONST is set.
      zs_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
      zs_.avail_in = static_cast<uInt>(in.size());
    }
    if (!header_taken_ && !TakeZlibHeader()) {
      raw_done_ = true;
      break;
    }
    const size_t old = raw_.size();
    const size_t room = std::max<size_t>(goal - old, 512);
    raw_.resize(old + room);
    zs_.next_out = reinterpret_cast<Bytef*>(raw_.data() + old);
    zs_.avail_out = static_cast<uInt>(room);
    const int rc = inflate(&zs_, Z_NO_FLUSH);
    const size_t produced = room - zs_.avail_out;
    raw_.resize(old + produced);
    if (produced > budget_) Damaged("decode budget");
    budget_ -= produced;
    // Damaged compressed data ends the stream; what was decoded before the damage stays.
    if (rc == Z_STREAM_END || rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_MEM_ERROR) {
      raw_done_ = true;
    } else if (rc == Z_BUF_ERROR && zs_.avail_in != 0) {
      raw_done_ = true;
    }
  }
}

bool StreamDecoder::TakeZlibHeader() {
  // The whole data is shorter than a header: nothing can be inflated from it.
  if (zs_.avail_in < 2) return false;
  const unsigned method = zs_.next_in[0];
  const unsigned flags = zs_.next_in[1];
  constexpr unsigned kDeflate = 8, kLargestWindow = 7, kPresetDictionary = 0x20;
  if ((method * 256 + flags) % 31 != 0 || (method & 0x0f) != kDeflate ||
      (method >> 4) > kLargestWindow || (flags & kPresetDictionary) != 0)
    return false;
  zs_.next_in += 2;
  zs_.avail_in -= 2;
  header_taken_ = true;
  return true;
}

void StreamDecoder::Unpredict() {
  if (row_bytes_ == 0) {
    out_ += raw_;
    raw_.clear();
    return;
  }
  const size_t stride = RowStride();
  const bool tiff = format_.predictor == kTiffPredictor;
  size_t done = 0;
  std::string row(row_bytes_, '\0');
  for (; done + stride <= raw_.size(); done += stride) {
    const auto* in =
        reinterpret_cast<const unsigned char*>(raw_.data() + done + stride - row_bytes_);
    const auto* up = reinterpret_cast<const unsigned char*>(prev_row_.data());
    auto* cur = reinterpret_cast<unsigned char*>(row.data());
    // A TIFF row has no tag: each byte is told by the one a pixel before it, as PNG's "Sub".
    const unsigned tag = tiff ? 1 : static_cast<unsigned char>(raw_[done]);
    UnpredictRow(tag, in, up, cur, row_bytes_, bpp_);
    out_ += row;
    prev_row_.swap(row);
  }
  raw_.erase(0, done);
}

}  // namespace foliotally::pdf
