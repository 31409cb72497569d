#include "dragdrop/formats/data_format_feedback.h"

#include "dragdrop/formats/data_format_registry.h"

namespace foliotally::dragdrop {

const TDataFormatClass& TFeedbackDataFormat::Class() {
  static const TDataFormatClass cls(
      "TFeedbackDataFormat", &TCustomDataFormat::Class(),
      &Construct<TFeedbackDataFormat, TCustomDataFormat, IDataFormatOwner*>,
      [](const TDataFormatClass& self) {
        const TDataDirections both = TDataDirections::Both();
        RegisterCompatibleFormat(self, TPreferredDropEffectClipboardFormat::Class(), 0, both);
        RegisterCompatibleFormat(self, TPerformedDropEffectClipboardFormat::Class(), 0, both);
        RegisterCompatibleFormat(self, TPasteSucceededClipboardFormat::Class(), 0, both);
        RegisterCompatibleFormat(self, TInShellDragLoopClipboardFormat::Class(), 0, both);
        RegisterCompatibleFormat(self, TTargetCLSIDClipboardFormat::Class(), 0, both);
        RegisterCompatibleFormat(self, TLogicalPerformedDropEffectClipboardFormat::Class(), 0,
                                 both);
      });
  return cls;
}

namespace {

// The value field a 32-bit feedback format fills, or null for the in-shell-drag-loop flag
// and formats that are no effects.
uint32_t* EffectField(TFeedbackDataFormat& data, const TClipboardFormat& format) {
  const TClipboardFormatClass& cls = format.ClassType();
  if (cls.InheritsFrom(TPreferredDropEffectClipboardFormat::Class())) {
    return &data.PreferredDropEffect;
  }
  if (cls.InheritsFrom(TPerformedDropEffectClipboardFormat::Class())) {
    return &data.PerformedDropEffect;
  }
  if (cls.InheritsFrom(TLogicalPerformedDropEffectClipboardFormat::Class())) {
    return &data.LogicalPerformedDropEffect;
  }
  if (cls.InheritsFrom(TPasteSucceededClipboardFormat::Class())) return &data.PasteSucceeded;
  return nullptr;
}

}  // namespace

bool TFeedbackDataFormat::Assign(TClipboardFormat& format) {
  if (uint32_t* field = EffectField(*this, format)) {
    *field = static_cast<TCustomDWORDClipboardFormat&>(format).Value();
    return true;
  }
  if (auto* loop = dynamic_cast<TInShellDragLoopClipboardFormat*>(&format)) {
    InShellDragLoop = loop->Value() != 0;
    GotInShellDragLoop = true;
    return true;
  }
  if (auto* clsid = dynamic_cast<TTargetCLSIDClipboardFormat*>(&format)) {
    TargetCLSID = clsid->CLSID();
    return true;
  }
  return TCustomDataFormat::Assign(format);
}

bool TFeedbackDataFormat::AssignTo(TClipboardFormat& format) {
  if (uint32_t* field = EffectField(*this, format)) {
    static_cast<TCustomDWORDClipboardFormat&>(format).SetValue(*field);
    return true;
  }
  if (auto* loop = dynamic_cast<TInShellDragLoopClipboardFormat*>(&format)) {
    loop->SetValue(InShellDragLoop ? 1 : 0);
    return true;
  }
  if (auto* clsid = dynamic_cast<TTargetCLSIDClipboardFormat*>(&format)) {
    clsid->SetCLSID(TargetCLSID);
    return true;
  }
  return TCustomDataFormat::AssignTo(format);
}

// Every value is emptied: HasData looks at the paste-succeeded effect, and a value left
// from the last drag would make the next one look answered.
void TFeedbackDataFormat::Clear() {
  Changing();
  PreferredDropEffect = 0;
  PerformedDropEffect = 0;
  LogicalPerformedDropEffect = 0;
  PasteSucceeded = 0;
  InShellDragLoop = false;
  GotInShellDragLoop = false;
  TargetCLSID = {};
}

bool TFeedbackDataFormat::HasData() const {
  return PreferredDropEffect != 0 || PerformedDropEffect != 0 || PasteSucceeded != 0 ||
         GotInShellDragLoop;
}

bool TFeedbackDataFormat::NeedsData() const {
  return PreferredDropEffect == 0 || PerformedDropEffect == 0 || PasteSucceeded == 0 ||
         !GotInShellDragLoop;
}

}  // namespace foliotally::dragdrop
