// Conversion between UTF-16 and the system code page: the 8-bit encoding the OS uses for
// names, which is the locale's character set. Conversion runs through glibc's iconv.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace foliotally::dragdrop {

class TIconv;

// Converts strings from the system code page to UTF-16 through one open conversion, for
// callers that convert many (opening a conversion costs more than converting a name).
// Bytes that form no character become U+FFFD, one per byte that cannot start one, as the
// platform's default conversion does.
class TCodePageDecoder {
 public:
  TCodePageDecoder();
  ~TCodePageDecoder();
  TCodePageDecoder(const TCodePageDecoder&) = delete;
  TCodePageDecoder& operator=(const TCodePageDecoder&) = delete;
  std::u16string Convert(std::string_view bytes);

 private:
  std::unique_ptr<TIconv> iconv_;
};

// The other way: characters that the code page cannot represent, and unpaired surrogates,
// become '?'.
class TCodePageEncoder {
 public:
  TCodePageEncoder();
  ~TCodePageEncoder();
  TCodePageEncoder(const TCodePageEncoder&) = delete;
  TCodePageEncoder& operator=(const TCodePageEncoder&) = delete;
  std::string Convert(std::u16string_view text);

 private:
  std::unique_ptr<TIconv> iconv_;
};

// One string each way.
std::u16string SystemCodePageToUtf16(std::string_view bytes);
std::string Utf16ToSystemCodePage(std::u16string_view text);

// The iconv name of the system code page. The C and POSIX locales report ASCII; there,
// names are taken as UTF-8, as Qt does for file names.
std::string SystemCodePageName();

}  // namespace foliotally::dragdrop
