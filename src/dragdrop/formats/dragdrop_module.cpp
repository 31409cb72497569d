#include "dragdrop/formats/dragdrop_module.h"

#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/formats/clipboard_format_filename.h"
#include "dragdrop/formats/clipboard_format_hdrop.h"
#include "dragdrop/formats/clipboard_format_pidl.h"
#include "dragdrop/formats/data_format_feedback.h"
#include "dragdrop/formats/data_format_files.h"
#include "dragdrop/formats/data_format_registry.h"

namespace foliotally::dragdrop {

void RegisterFeedbackFormatsModule() {
  RegisterDataFormat(TFeedbackDataFormat::Class());
  TPreferredDropEffectClipboardFormat::Class().RegisterFormat();
  TPerformedDropEffectClipboardFormat::Class().RegisterFormat();
  TLogicalPerformedDropEffectClipboardFormat::Class().RegisterFormat();
  TPasteSucceededClipboardFormat::Class().RegisterFormat();
  TInShellDragLoopClipboardFormat::Class().RegisterFormat();
  TTargetCLSIDClipboardFormat::Class().RegisterFormat();
}

void RegisterPIDLFormatsModule() { TPIDLClipboardFormat::Class().RegisterFormat(); }

void RegisterFileFormatsModule() {
  RegisterDataFormat(TFileDataFormat::Class());
  RegisterDataFormat(TFileMapDataFormat::Class());
  TFileClipboardFormat::Class().RegisterFormat();
  TAnsiFilenameClipboardFormat::Class().RegisterFormat();
  TUnicodeFilenameClipboardFormat::Class().RegisterFormat();
  TAnsiFilenameMapClipboardFormat::Class().RegisterFormat();
  TUnicodeFilenameMapClipboardFormat::Class().RegisterFormat();
}

// The framework and text modules register nothing a file drop uses; the platform needs no
// initialisation for drag and drop here (the Qt side brings its own).
void DragDropStartUp() {
  StartUpFormatRegistries();
  RegisterFeedbackFormatsModule();
  RegisterPIDLFormatsModule();
  RegisterFileFormatsModule();
}

void DragDropShutDown() { ShutDownFormatRegistries(); }

}  // namespace foliotally::dragdrop
