#include "dragdrop/formats/code_page.h"
#include "dragdrop/formats/string_list.h"
#include "dragdrop/formats/unicode_strings.h"

namespace foliotally::dragdrop {

int32_t TUnicodeStringsAdapter::GetCapacity() const { return strings_.Capacity(); }

int32_t TUnicodeStringsAdapter::GetCount() const { return strings_.Count(); }

std::u16string TUnicodeStringsAdapter::Get(int32_t index) const {
  return SystemCodePageToUtf16(strings_.Get(index));
}

void TUnicodeStringsAdapter::Put(int32_t index, const std::u16string& text) {
  strings_.Put(index, Utf16ToSystemCodePage(text));
}

void TUnicodeStringsAdapter::Insert(int32_t index, const std::u16string& text) {
  strings_.Insert(index, Utf16ToSystemCodePage(text));
}

void TUnicodeStringsAdapter::Clear() { strings_.Clear(); }

void TUnicodeStringsAdapter::Delete(int32_t index) { strings_.Delete(index); }

}  // namespace foliotally::dragdrop
