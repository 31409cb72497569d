#include "dragdrop/formats/unicode_strings.h"

#include "dragdrop/formats/code_page.h"
#include "dragdrop/formats/dragdrop_errors.h"
#include "dragdrop/formats/string_list.h"
#include "errors/index_errors.h"

namespace foliotally::dragdrop {
namespace {

// An update bracket that closes also when the work inside it raises.
class UpdateBracket {
 public:
  explicit UpdateBracket(TUnicodeStrings& list) : list_(list) { list_.BeginUpdate(); }
  ~UpdateBracket() { list_.EndUpdate(); }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

 private:
  TUnicodeStrings& list_;
};

}  // namespace

void TUnicodeStrings::Changed() {
  if (updateCount_ == 0 && OnChange) OnChange(*this);
}

void TUnicodeStrings::Changing() {
  if (updateCount_ == 0 && OnChanging) OnChanging(*this);
}

int32_t TUnicodeStrings::Add(const std::u16string& text) {
  int32_t index = GetCount();
  Insert(index, text);
  return index;
}

int32_t TUnicodeStrings::IndexOf(const std::u16string& text) const {
  for (int32_t i = GetCount() - 1; i >= 0; --i) {
    if (Get(i) == text) return i;
  }
  return -1;
}

void TUnicodeStrings::CheckIndex(int32_t index) const {
  CheckListIndex<EListError>(index, GetCount());
}

void TUnicodeStrings::Exchange(int32_t index1, int32_t index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  UpdateBracket bracket(*this);
  std::u16string first = Get(index1);
  Put(index1, Get(index2));
  Put(index2, first);
}

void TUnicodeStrings::Move(int32_t from, int32_t to) {
  CheckIndex(from);
  CheckIndex(to);
  UpdateBracket bracket(*this);
  std::u16string text = Get(from);
  Delete(from);
  Insert(to, text);
}

void TUnicodeStrings::BeginUpdate() {
  if (updateCount_ == 0) Changing();
  ++updateCount_;
}

void TUnicodeStrings::EndUpdate() {
  --updateCount_;
  if (updateCount_ == 0) Changed();
}

void TUnicodeStrings::Assign(const TPersistent& source) {
  // Assigning a list to itself would clear it before reading it.
  if (&source == this) return;
  if (const auto* wide = dynamic_cast<const TUnicodeStrings*>(&source)) {
    UpdateBracket bracket(*this);
    Clear();
    SetCapacity(wide->GetCount());
    for (int32_t i = 0; i < wide->GetCount(); ++i) Add(wide->Get(i));
    return;
  }
  if (const auto* narrow = dynamic_cast<const TStringList*>(&source)) {
    UpdateBracket bracket(*this);
    Clear();
    SetCapacity(narrow->Count());
    TCodePageDecoder decoder;
    for (int32_t i = 0; i < narrow->Count(); ++i) Add(decoder.Convert(narrow->Get(i)));
    return;
  }
  TPersistent::Assign(source);
}

void TUnicodeStrings::AssignTo(TPersistent& destination) const {
  auto* narrow = dynamic_cast<TStringList*>(&destination);
  if (narrow == nullptr) {
    TPersistent::AssignTo(destination);
    return;
  }
  narrow->BeginUpdate();
  narrow->Clear();
  narrow->SetCapacity(GetCount());
  TCodePageEncoder encoder;
  for (int32_t i = 0; i < GetCount(); ++i) narrow->Add(encoder.Convert(Get(i)));
  narrow->EndUpdate();
}

}  // namespace foliotally::dragdrop
