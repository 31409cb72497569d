// libFuzzer target over the reading of dropped and pasted addresses: each line of the input
// is read as a file: address; a name it gives must hold no NUL, be absolute, and come back
// byte for byte from its own address and through UTF-16.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "dragdrop/formats/file_name_text.h"
#include "dragdrop/formats/file_uri.h"

using namespace foliotally::dragdrop;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  for (std::string_view line : UriListLines(input)) {
    const auto path = LocalPathOfFileUri(line, "thishost");
    if (!path) continue;
    if (path->empty() || path->front() != '/' || path->find('\0') != std::string::npos)
      std::abort();
    if (LocalPathOfFileUri(FileUriOf(*path), "") != path) std::abort();
  }
  if (Utf16ToFileName(FileNameToUtf16(input)) != input) std::abort();
  return 0;
}
