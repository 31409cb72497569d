#include "dragdrop/formats/double_nul_name_list.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "dragdrop/formats/code_page.h"
#include "dragdrop/formats/unicode_strings.h"

namespace foliotally::dragdrop {
namespace {

// The name at the start of `bytes` and the bytes it takes with its NUL; 0 when its NUL
// lies beyond `bytes`.
size_t NextWideName(std::span<const uint8_t> bytes, std::u16string& name) {
  const size_t units = bytes.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    if (bytes[2 * i] == 0 && bytes[2 * i + 1] == 0) {
      name.assign(i, u'\0');
      std::memcpy(name.data(), bytes.data(), i * 2);
      return (i + 1) * 2;
    }
  }
  return 0;
}

size_t NextNarrowName(std::span<const uint8_t> bytes, TCodePageDecoder& decoder,
                      std::u16string& name) {
  auto nul = std::ranges::find(bytes, uint8_t{0});
  if (nul == bytes.end()) return 0;
  size_t length = static_cast<size_t>(nul - bytes.begin());
  name = decoder.Convert(std::string_view(reinterpret_cast<const char*>(bytes.data()), length));
  return length + 1;
}

}  // namespace

// A list ends at its empty name. A name whose NUL would lie beyond the payload may be cut
// short; it is dropped, and the list ends there.
bool ParseNameList(std::span<const uint8_t> bytes, bool wide, TUnicodeStrings& names) {
  bool added = false;
  std::u16string name;
  TCodePageDecoder decoder;
  while (!bytes.empty()) {
    size_t step = wide ? NextWideName(bytes, name) : NextNarrowName(bytes, decoder, name);
    if (step == 0 || name.empty()) break;
    names.Add(name);
    added = true;
    bytes = bytes.subspan(step);
  }
  return added;
}

}  // namespace foliotally::dragdrop
