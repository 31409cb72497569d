#include "dragdrop/formats/dragdrop_module.h"

#include "dragdrop/formats/data_format_registry.h"
#include "dragdrop/formats/feedback_clipboard_formats.h"
#include "dragdrop/formats/feedback_data_format.h"
#include "dragdrop/formats/file_clipboard_format.h"
#include "dragdrop/formats/file_data_formats.h"
#include "dragdrop/formats/filename_clipboard_formats.h"
#include "dragdrop/formats/pidl_clipboard_format.h"

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
