#include "dragdrop/code_page.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>

namespace foliotally::dragdrop {
namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// An open conversion, closed when it goes out of scope.
class Converter {
 public:
  Converter(const char* to, const std::string& from) : handle_(iconv_open(to, from.c_str())) {}
  ~Converter() {
    if (ok()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  // Back to the initial shift state, after skipping input iconv refused.
  void Reset() { iconv(handle_, nullptr, nullptr, nullptr, nullptr); }

  // Converts as much of [in, in + inLeft) as it can into `out`, appending. Returns the
  // errno that stopped it, 0 when all was converted.
  int Run(const char*& in, size_t& inLeft, std::string& out) {
    char buffer[4096];
    while (inLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      char* src = const_cast<char*>(in);  // iconv's signature, it does not write
      size_t done = iconv(handle_, &src, &inLeft, &dst, &dstLeft);
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

std::u16string FromUtf16Bytes(const std::string& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  return text;
}

// Converts byte by byte what iconv cannot: each byte that starts no character becomes
// one U+FFFD, and conversion goes on after it.
std::u16string Decode(std::string_view bytes, const std::string& codePage) {
  Converter converter(kUtf16, codePage);
  std::u16string text;
  if (!converter.ok()) {
    for (unsigned char c : bytes) text.push_back(c < 0x80 ? c : u'\uFFFD');
    return text;
  }
  const char* in = bytes.data();
  size_t left = bytes.size();
  std::string out;
  while (left > 0) {
    int error = converter.Run(in, left, out);
    if (error == 0) break;
    text += FromUtf16Bytes(out);
    out.clear();
    text.push_back(u'\uFFFD');
    ++in;
    --left;
    converter.Reset();
  }
  return text + FromUtf16Bytes(out);
}

}  // namespace

std::string SystemCodePageName() {
  std::string name = nl_langinfo(CODESET);
  if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII") return "UTF-8";
  return name;
}

std::u16string SystemCodePageToUtf16(std::string_view bytes) {
  return Decode(bytes, SystemCodePageName());
}

namespace {

bool IsSurrogatePair(std::u16string_view text, size_t at) {
  return at + 1 < text.size() && text[at] >= 0xD800 && text[at] <= 0xDBFF &&
         text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
}

}  // namespace

std::string Utf16ToSystemCodePage(std::u16string_view text) {
  std::string codePage = SystemCodePageName();
  Converter converter(codePage.c_str(), kUtf16);
  std::string out;
  if (!converter.ok()) {
    for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
  }
  std::string_view units(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  const char* in = units.data();
  size_t left = units.size();
  while (left > 0) {
    int error = converter.Run(in, left, out);
    if (error == 0) break;
    // A character without a form here, or half a surrogate pair: one '?' in its place.
    size_t unit = static_cast<size_t>(in - units.data()) / 2;
    size_t skip = std::min<size_t>(IsSurrogatePair(text, unit) ? 4 : 2, left);
    out.push_back('?');
    in += skip;
    left -= skip;
    converter.Reset();
  }
  return out;
}

}  // namespace foliotally::dragdrop
