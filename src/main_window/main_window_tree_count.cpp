// "Count All": every matching file of the directory list's folder and of the folders below
// it, depth first, on the user-interface thread with the message loop run at fixed points
// so that the window repaints and "Stop" can end the walk.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "dragdrop/target/drop_file_target.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/file_list_box.h"
#include "folder_browser/path_functions.h"
#include "folder_browser/tree_walk_rules.h"
#include "main_window/checked_counter.h"
#include "main_window/main_window.h"
#include "main_window/results_log/rich_edit_log.h"
#include "messages/notice_box.h"
#include "platform/file_system.h"
#include "platform/io_error.h"

namespace foliotally {

void TfrmMain::ProcessMessages() { QCoreApplication::processEvents(); }

void TfrmMain::btnCountAllClick(QObject*) {
  const DropsRefused refused(*DropFileTarget1);
  std::string start;
  try {
    FLastCountFiles.clear();
    edtCounter->setText("0");
    FFileCount = 0;
    FTally = {};
    FPageTotal = 0;
    FStopRequested = false;
    start = DirectoryListBox->Directory();
    RichEditLog->ClearLog();
    BitBtnStop->show();
    CountFolder(start);
    if (CheckBox2->isChecked()) {
      WalkedFolders walked;
      FileStatus status;
      if (FFileSystem->Stat(start, status) == 0) walked.FirstVisit(IdentityOf(status));
      WalkSubfolders(start, walked);
    }
    SetStatusText(CountEndText(FFileCount, FTally));
  } catch (...) {
    // One failing file or folder ends the whole count; what was gathered so far stays.
    ShowPlainBox("some files encountered some errors");
  }
  BitBtnStop->hide();
  DirectoryListBox->SetDirectory(start);
}

void TfrmMain::CountFolder(const std::string& folder) {
  FileListBox->SetDirectory(folder);
  const int count = FileListBox->Count();
  for (int i = 0; i < count; ++i) {
    const std::string name = FileListBox->Items(i);
    SetStatusText("Counting... " + name);
    CountFile(JoinFolderAndName(FileListBox->Directory(), name));
    FFileCount = CheckedAdd(FFileCount, 1);
    edtFileCount->setText(QString::number(FFileCount));
  }
}

void TfrmMain::WalkSubfolders(const std::string& folder, WalkedFolders& walked) {
  ProcessMessages();
  if (FStopRequested) return;
  // The subfolders are read before any is entered, so that no folder stays open while the
  // walk is deeper down: a deep tree would otherwise run out of descriptors.
  WalkListing listing;
  // A folder that can be entered but not read (or read but not searched) is a failure
  // like one that cannot be entered: its files would be missing from the total.
  if (const int code = ReadFolderForWalk(*FFileSystem, folder, nullptr, listing); code != 0)
    throw MakeInOutError(code);
  for (const WalkSubfolder& sub : listing.subfolders) {
    ProcessMessages();
    if (!walked.FirstVisit(sub.identity)) continue;
    const std::string path = JoinFolderAndName(folder, sub.name);
    FileListBoxTest->SetDirectory(path);
    if (FileListBoxTest->Count() > 0) {
      ProcessMessages();
      CountFolder(path);
    }
    WalkSubfolders(path, walked);
  }
}

void TfrmMain::BitBtnStopClick(QObject*) { FStopRequested = true; }

}  // namespace foliotally
