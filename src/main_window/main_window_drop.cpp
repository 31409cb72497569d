// The folder list's drop target and what a drop (or a paste) of file names does there.
#include <QShortcut>

#include "dragdrop/formats/code_page.h"
#include "dragdrop/qt/drag_event_translation.h"
#include "dragdrop/qt/qt_drop_platform.h"
#include "dragdrop/target/drop_file_target.h"
#include "errors/errors.h"
#include "folder_browser/directory_list_box.h"
#include "main_window/main_window.h"

namespace foliotally {

void TfrmMain::CreateDropTarget() {
  using namespace dragdrop;
  FDropPlatform = std::make_unique<TQtDropPlatform>();
  DropFileTarget1 = std::make_unique<TDropFileTarget>(*FDropPlatform);
  // The stored settings: drag types, the drop handler, the target, a move seen as a copy.
  DropFileTarget1->SetLoading(true);
  DropFileTarget1->SetDragTypes({TDragType::dtCopy, TDragType::dtLink});
  DropFileTarget1->OnDrop = [this](TCustomDropTarget& sender, TShiftState shift, TPoint point,
                                   uint32_t& effect) {
    DropFileTarget1Drop(sender, shift, point, effect);
  };
  DropFileTarget1->SetTarget(AsWinControl(DirectoryListBox));
  DropFileTarget1->SetOptimizedMove(true);
  DropFileTarget1->SetLoading(false);

  auto* paste = new QShortcut(QKeySequence::Paste, DirectoryListBox);
  paste->setContext(Qt::WidgetShortcut);
  connect(paste, &QShortcut::activated, this, &TfrmMain::DirectoryListBoxPaste);
}

void TfrmMain::DropFileTarget1Drop(dragdrop::TCustomDropTarget&, dragdrop::TShiftState,
                                   dragdrop::TPoint, uint32_t&) {
  dragdrop::TUnicodeStringList& files = DropFileTarget1->Files();
  if (files.Count() == 0) return;
  const std::string name = dragdrop::Utf16ToSystemCodePage(files.Get(0));
  // An item without a path (a web address, say) names no folder: the drop did nothing and
  // must not be reported as done.
  if (name.empty()) throw Exception("The dropped item has no file name");
  DirectoryListBox->SetDirectory(name);
}

void TfrmMain::DirectoryListBoxPaste() {
  try {
    DropFileTarget1->PasteFromClipboard();
  } catch (...) {
    // A name that cannot be entered, or a clipboard that cannot be read: like a drop that
    // cannot be used, the paste ends without a word.
  }
}

}  // namespace foliotally
