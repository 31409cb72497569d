#include "payload_harness.h"

#include <cstdlib>

#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/formats/clipboard_format_filename.h"
#include "dragdrop/formats/clipboard_format_hdrop.h"
#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/clipboard_format_pidl.h"
#include "dragdrop/formats/data_format_feedback.h"
#include "dragdrop/formats/data_format_files.h"
#include "dragdrop/formats/dragdrop_errors.h"
#include "dragdrop/formats/dragdrop_module.h"
#include "test_data_object.h"

namespace foliotally::dragdrop {
namespace {

void Check(bool invariant) {
  if (!invariant) std::abort();
}

// The medium the first byte picks: bit 0 a stream; bits 1-2 the largest piece a read
// delivers; bit 3 a stream that reports more than it holds; bits 4 and 6 together one that
// reports the largest size allowed (rarer, as each such fetch takes a full transfer block);
// bit 5 a read that fails part way; bit 7 a stream that reports a size beyond 31 bits.
TestStreamBehaviour StreamOf(uint8_t control, size_t size) {
  static constexpr uint32_t kPieces[] = {1, 7, 4096, UINT32_MAX};
  TestStreamBehaviour stream;
  stream.largestPiece = kPieces[(control >> 1) & 3];
  if (control & 8) stream.reportedSize = size + 1000;
  if ((control & 0x50) == 0x50) stream.reportedSize = 0x7FFFFFFF;
  if (control & 0x80) stream.reportedSize = 0x80000000u + size;
  if (control & 32) stream.failReadAt = 1;
  return stream;
}

// Offers the payload under every id of `ids` and fetches `cls` from it, as a drop does.
void Fetch(const TDataFormatClass& cls, std::span<const uint16_t> ids, uint8_t control,
           std::span<const uint8_t> payload) {
  TestDataObject data;
  const uint32_t media = (control & 1) ? TYMED_ISTREAM : TYMED_HGLOBAL;
  for (uint16_t id : ids) {
    data.Offer(id, {payload.begin(), payload.end()}, media, StreamOf(control, payload.size()));
  }
  auto format = TCustomDataFormat::CreateFormat(cls, TDataDirection::ddRead);
  format->GetData(data);
  if (auto* files = dynamic_cast<TFileDataFormat*>(format.get())) {
    for (int32_t i = 0; i < files->Files().Count(); ++i) {
      Check(files->Files().Get(i).size() <= payload.size());
    }
  }
}

void NameLists(uint8_t control, std::span<const uint8_t> payload) {
  TFileClipboardFormat drop;
  if (drop.ReadData(payload)) Check(drop.Names().Count() <= static_cast<int32_t>(payload.size()));
  TAnsiFilenameMapClipboardFormat().ReadData(payload);
  TUnicodeFilenameMapClipboardFormat().ReadData(payload);
  TAnsiFilenameClipboardFormat().ReadData(payload);
  TUnicodeFilenameClipboardFormat().ReadData(payload);
  const uint16_t files[] = {CF_HDROP, RegisteredFormatId("FileName"),
                            RegisteredFormatId("FileNameW")};
  Fetch(TFileDataFormat::Class(), files, control, payload);
  const uint16_t maps[] = {RegisteredFormatId("FileNameMap"), RegisteredFormatId("FileNameMapW")};
  Fetch(TFileMapDataFormat::Class(), maps, control, payload);
}

void IdLists(uint8_t control, std::span<const uint8_t> payload) {
  TPIDLClipboardFormat idLists;
  if (idLists.ReadData(payload)) {
    for (int32_t i = 0; i < idLists.PathNames().Count(); ++i) idLists.PathNames().Get(i);
  }
  std::u16string path;
  SHGetPathFromIDListW(payload, path);
  const uint16_t ids[] = {RegisteredFormatId("Shell IDList Array")};
  Fetch(TFileDataFormat::Class(), ids, control, payload);
}

void FeedbackValues(uint8_t control, std::span<const uint8_t> payload) {
  TPreferredDropEffectClipboardFormat().ReadData(payload);
  TTargetCLSIDClipboardFormat().ReadData(payload);
  const uint16_t ids[] = {RegisteredFormatId("Preferred DropEffect"),
                          RegisteredFormatId("Performed DropEffect"),
                          RegisteredFormatId("Paste Succeeded"),
                          RegisteredFormatId("InShellDragLoop"),
                          RegisteredFormatId("TargetCLSID"),
                          RegisteredFormatId("Logical Performed DropEffect")};
  Fetch(TFeedbackDataFormat::Class(), ids, control, payload);
}

}  // namespace

void ExercisePayload(PayloadFamily family, std::span<const uint8_t> input) {
  static const bool started = (DragDropStartUp(), true);
  (void)started;
  if (input.empty()) return;
  const uint8_t control = input[0];
  const std::span<const uint8_t> payload = input.subspan(1);
  try {
    switch (family) {
      case PayloadFamily::kNameLists:
        NameLists(control, payload);
        break;
      case PayloadFamily::kIdLists:
        IdLists(control, payload);
        break;
      case PayloadFamily::kFeedbackValues:
        FeedbackValues(control, payload);
        break;
    }
  } catch (const ERangeError&) {
    // A stream that reports a size beyond 31 bits; the drop target catches it.
  }
}

bool PayloadFamilyNamed(std::string_view name, PayloadFamily& family) {
  if (name == "name_lists")
    family = PayloadFamily::kNameLists;
  else if (name == "id_lists")
    family = PayloadFamily::kIdLists;
  else if (name == "feedback_values")
    family = PayloadFamily::kFeedbackValues;
  else
    return false;
  return true;
}

}  // namespace foliotally::dragdrop
