// All feedback values of a drag as one data format, for a component that reads or supplies
// them as a set.
#pragma once

#include <cstdint>

#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/formats/data_format_base.h"

namespace foliotally::dragdrop {

class TFeedbackDataFormat : public TCustomDataFormat {
 public:
  static const TDataFormatClass& Class();
  const TDataFormatClass& ClassType() const override { return Class(); }

  explicit TFeedbackDataFormat(IDataFormatOwner* owner) : TCustomDataFormat(owner) {}

  uint32_t PreferredDropEffect = 0;
  uint32_t PerformedDropEffect = 0;
  uint32_t LogicalPerformedDropEffect = 0;
  uint32_t PasteSucceeded = 0;
  bool InShellDragLoop = false;
  bool GotInShellDragLoop = false;  // an "InShellDragLoop" value was received
  TClassId TargetCLSID{};

  bool Assign(TClipboardFormat& format) override;
  bool AssignTo(TClipboardFormat& format) override;
  // Announces the change, then empties every value.
  void Clear() override;
  bool HasData() const override;
  bool NeedsData() const override;
};

}  // namespace foliotally::dragdrop
