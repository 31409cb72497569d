// The window's drop target and what a drop (or a paste) of file names does: a folder is
// entered; a file's folder is entered and the file selected and counted, as a click on it
// would. Names dropped anywhere on the window count as dropped on the folder list, and
// Ctrl+V pastes them anywhere but in the log, which pastes its own text.
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QShortcut>

#include "dragdrop/formats/file_name_text.h"
#include "dragdrop/qt/background_clipboard.h"
#include "dragdrop/qt/drag_event_translation.h"
#include "dragdrop/qt/qt_drop_platform.h"
#include "dragdrop/target/drop_file_target.h"
#include "errors/errors.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/existence_checks.h"
#include "folder_browser/file_list_box.h"
#include "folder_browser/path_functions.h"
#include "main_window/file_drag_out.h"
#include "main_window/main_window.h"
#include "main_window/results_log/rich_edit_log.h"

namespace foliotally {

void TfrmMain::CreateDropTarget() {
  using namespace dragdrop;
  FDropPlatform = std::make_unique<TQtDropPlatform>();
  FClipboardReader = new TBackgroundClipboard(this);
  // The drop handler uses the first name only.
  FDropPlatform->SetItemsWanted(1);
  DropFileTarget1 = std::make_unique<TDropFileTarget>(*FDropPlatform);
  // The stored settings: drag types, the drop handler, the targets, a move seen as a copy.
  DropFileTarget1->SetLoading(true);
  DropFileTarget1->SetDragTypes({TDragType::dtCopy, TDragType::dtLink});
  DropFileTarget1->OnDrop = [this](TCustomDropTarget& sender, TShiftState shift, TPoint point,
                                   uint32_t& effect) {
    DropFileTarget1Drop(sender, shift, point, effect);
  };
  DropFileTarget1->SetMultiTarget(true);
  // The folder list scrolls under a drag; the log takes names instead of inserting them as
  // text; the window takes them everywhere else.
  DropFileTarget1->RegisterControl(AsWinControl(this));
  DropFileTarget1->RegisterControl(AsWinControl(DirectoryListBox));
  DropFileTarget1->RegisterControl(AsWinControl(RichEditLog));
  DropFileTarget1->SetOptimizedMove(true);
  DropFileTarget1->SetLoading(false);
  // The totals take no text; left to themselves they would answer drags over them.
  edtFileCount->setAcceptDrops(false);
  edtCounter->setAcceptDrops(false);

  // Selected files drag out to other programs; owned by the list.
  new FileDragOut(*FileListBox);

  auto* paste = new QShortcut(QKeySequence::Paste, this);
  paste->setContext(Qt::WindowShortcut);
  connect(paste, &QShortcut::activated, this, &TfrmMain::DirectoryListBoxPaste);
}

void TfrmMain::DropFileTarget1Drop(dragdrop::TCustomDropTarget&, dragdrop::TShiftState,
                                   dragdrop::TPoint, uint32_t&) {
  dragdrop::TUnicodeStringList& files = DropFileTarget1->Files();
  if (files.Count() == 0) return;
  const std::string name = dragdrop::Utf16ToFileName(files.Get(0));
  // An item without a path (a web address, another machine's file, a name holding a NUL)
  // names no folder: the drop did nothing and must not be reported as done.
  if (name.empty()) throw Exception("The dropped item has no file name");
  ShowFolderOrFile(name);
}

void TfrmMain::ShowFolderOrFile(const std::string& path) {
  DirectoryListBox->SetDirectory(path);
  if (IsExistingFile(*FFileSystem, path)) SelectListedFile(NamePartOf(path));
}

void TfrmMain::SelectListedFile(const std::string& name) {
  const int count = FileListBox->Count();
  for (int row = 0; row < count; ++row) {
    if (FileListBox->Items(row) != name) continue;
    const QModelIndex index = FileListBox->model()->index(row, 0);
    FileListBox->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    FileListBox->SetItemIndex(row);
    FileListBox->scrollTo(index);
    FileListBoxClick(FileListBox);
    return;
  }
}

// Another program's clipboard is read on a thread of its own: a list of megabytes takes a
// while to come across, and the window keeps answering meanwhile.
void TfrmMain::DirectoryListBoxPaste() {
  // A paste during "Count All" would be undone by the count's last step.
  if (!DropFileTarget1->Enabled()) return;
  if (!dragdrop::TBackgroundClipboard::Available()) {
    PasteNames(nullptr);
    return;
  }
  FClipboardReader->Read({"text/uri-list", "x-special/gnome-copied-files", "text/plain"},
                         [this](std::optional<dragdrop::TClipboardPayload> payload) {
                           if (!payload || !DropFileTarget1->Enabled()) return;
                           PasteNames(dragdrop::MimeDataOf(std::move(*payload)).get());
                         });
}

void TfrmMain::PasteNames(const QMimeData* data) {
  FDropPlatform->SetClipboardData(data);
  try {
    DropFileTarget1->PasteFromClipboard();
  } catch (...) {
    // A name that cannot be entered, or a clipboard that cannot be read: like a drop that
    // cannot be used, the paste ends without a word.
  }
  FDropPlatform->SetClipboardData(nullptr);
}

TfrmMain::DropsRefused::DropsRefused(dragdrop::TCustomDropTarget& target)
    : target_(target), enabled_(target.Enabled()) {
  target_.SetEnabled(false);
}

TfrmMain::DropsRefused::~DropsRefused() { target_.SetEnabled(enabled_); }

}  // namespace foliotally
