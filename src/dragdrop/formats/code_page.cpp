#include "dragdrop/formats/code_page.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

namespace foliotally::dragdrop {

// An open iconv conversion, closed when it goes out of scope.
class TIconv {
 public:
  TIconv(const char* to, const std::string& from) : handle_(iconv_open(to, from.c_str())) {}
  ~TIconv() {
    if (ok()) iconv_close(handle_);
  }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;

  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  // Back to the initial shift state, for a new string or after skipping refused input.
  void Reset() { iconv(handle_, nullptr, nullptr, nullptr, nullptr); }

  // Converts as much of [in, in + in_left) as it can into `out`, appending. Returns the
  // errno that stopped it, 0 when all was converted.
  int Run(const char*& in, size_t& in_left, std::string& out) {
    char buffer[4096];
    while (in_left > 0) {
      char* dst = buffer;
      size_t dst_left = sizeof buffer;
      char* src = const_cast<char*>(in);  // iconv's signature, it does not write
      size_t done = iconv(handle_, &src, &in_left, &dst, &dst_left);
      int error = done == static_cast<size_t>(-1) ? errno : 0;
      out.append(buffer, static_cast<size_t>(dst - buffer));
      in = src;
      if (error != 0 && error != E2BIG) return error;
    }
    return 0;
  }

 private:
  iconv_t handle_;
};

namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

void AppendUtf16Bytes(const std::string& bytes, std::u16string& text) {
  const size_t at = text.size();
  text.resize(at + bytes.size() / 2);
  std::memcpy(text.data() + at, bytes.data(), (text.size() - at) * 2);
}

bool IsSurrogatePair(std::u16string_view text, size_t at) {
  return at + 1 < text.size() && text[at] >= 0xD800 && text[at] <= 0xDBFF &&
         text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
}

}  // namespace

std::string SystemCodePageName() {
  std::string name = nl_langinfo(CODESET);
  if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII") return "UTF-8";
  return name;
}

TCodePageDecoder::TCodePageDecoder()
    : iconv_(std::make_unique<TIconv>(kUtf16, SystemCodePageName())) {}

TCodePageDecoder::~TCodePageDecoder() = default;

// What iconv refuses is skipped one byte at a time, each byte giving one U+FFFD.
std::u16string TCodePageDecoder::Convert(std::string_view bytes) {
  std::u16string text;
  if (!iconv_->ok()) {
    for (unsigned char c : bytes) text.push_back(c < 0x80 ? c : u'\uFFFD');
    return text;
  }
  iconv_->Reset();
  const char* in = bytes.data();
  size_t left = bytes.size();
  std::string out;
  while (left > 0) {
    int error = iconv_->Run(in, left, out);
    if (error == 0) break;
    AppendUtf16Bytes(out, text);
    out.clear();
    text.push_back(u'\uFFFD');
    ++in;
    --left;
    iconv_->Reset();
  }
  AppendUtf16Bytes(out, text);
  return text;
}

TCodePageEncoder::TCodePageEncoder()
    : iconv_(std::make_unique<TIconv>(SystemCodePageName().c_str(), kUtf16)) {}

TCodePageEncoder::~TCodePageEncoder() = default;

// A character without a form here, or half a surrogate pair, gives one '?'.
std::string TCodePageEncoder::Convert(std::u16string_view text) {
  std::string out;
  if (!iconv_->ok()) {
    for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
  }
  iconv_->Reset();
  std::string_view units(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  const char* in = units.data();
  size_t left = units.size();
  while (left > 0) {
    int error = iconv_->Run(in, left, out);
    if (error == 0) break;
    size_t unit = static_cast<size_t>(in - units.data()) / 2;
    size_t skip = std::min<size_t>(IsSurrogatePair(text, unit) ? 4 : 2, left);
    out.push_back('?');
    in += skip;
    left -= skip;
    iconv_->Reset();
  }
  return out;
}

std::u16string SystemCodePageToUtf16(std::string_view bytes) {
  return TCodePageDecoder().Convert(bytes);
}

std::string Utf16ToSystemCodePage(std::u16string_view text) {
  return TCodePageEncoder().Convert(text);
}

}  // namespace foliotally::dragdrop
