// Conversion between UTF-16 and the system code page: the 8-bit encoding the OS uses for
// names, which is the locale's character set. Conversion runs through glibc's iconv.
#pragma once

#include <string>
#include <string_view>

namespace foliotally::dragdrop {

// Bytes that form no character become U+FFFD, one per byte that cannot start one, as the
// platform's default conversion does.
std::u16string SystemCodePageToUtf16(std::string_view bytes);
// Characters that the code page cannot represent, and unpaired surrogates, become '?'.
std::string Utf16ToSystemCodePage(std::u16string_view text);

// The iconv name of the system code page. The C and POSIX locales report ASCII; there,
// names are taken as UTF-8, as Qt does for file names.
std::string SystemCodePageName();

}  // namespace foliotally::dragdrop
