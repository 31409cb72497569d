// A file name's bytes as UTF-16 and back, losing no byte: the dropped-names list carries
// wide names, and a name need not be valid UTF-8. Valid UTF-8 becomes its characters; each
// byte that is not part of a valid sequence becomes the unpaired surrogate U+DC80 + (byte
// - 0x80), which valid text never holds, and turns back into that byte.
#pragma once

#include <string>
#include <string_view>

namespace foliotally::dragdrop {

std::u16string FileNameToUtf16(std::string_view bytes);
std::string Utf16ToFileName(std::u16string_view text);

}  // namespace foliotally::dragdrop
