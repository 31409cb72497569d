// "Count All": every matching file of the directory list's folder and of the folders below
// it, depth first, on the user-interface thread with the message loop run at fixed points
// so that the window repaints and "Stop" can end the walk.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <string>

#include "folder_browser/directory_list_box.h"
#include "folder_browser/directory_search.h"
#include "folder_browser/file_list_box.h"
#include "folder_browser/path_functions.h"
#include "main_window/checked_counter.h"
#include "main_window/main_window.h"
#include "main_window/results_log/rich_edit_log.h"
#include "messages/notice_box.h"
#include "platform/file_system.h"

namespace foliotally {
namespace {

// The search pattern that matches every entry of a folder ("*.*" matches names without a
// dot as well).
constexpr const char* kEveryEntry = "*.*";

FolderIdentity IdentityOf(const FileStatus& status) { return {status.device, status.inode}; }

}  // namespace

void TfrmMain::ProcessMessages() { QCoreApplication::processEvents(); }

void TfrmMain::btnCountAllClick(QObject*) {
  std::string start;
  try {
    edtCounter->setText("0");
    FFileCount = 0;
    FPageTotal = 0;
    FStopRequested = false;
    start = DirectoryListBox->Directory();
    RichEditLog->ClearLog();
    BitBtnStop->show();
    CountFolder(start);
    if (CheckBox2->isChecked()) {
      std::vector<FolderIdentity> onPath;
      FileStatus status;
      if (FFileSystem->Stat(start, status) == 0) onPath.push_back(IdentityOf(status));
      WalkSubfolders(WithTrailingDelimiter(start) + kEveryEntry, onPath);
    }
    SetStatusText("Counted " + std::to_string(FFileCount) + " files.");
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
    CountFile(WithTrailingDelimiter(FileListBox->Directory()) + name);
    FFileCount = CheckedAdd(FFileCount, 1);
    edtFileCount->setText(QString::number(FFileCount));
  }
}

void TfrmMain::WalkSubfolders(const std::string& pattern, std::vector<FolderIdentity>& onPath) {
  ProcessMessages();
  if (FStopRequested) return;
  TSearchRec rec;
  if (SearchFirst(*FFileSystem, pattern, kAttrDirectory, rec) != 0) return;
  const std::string prefix = pattern.substr(0, pattern.size() - 3);
  do {
    if ((rec.EntryAttributes & kAttrDirectory) != 0) {
      ProcessMessages();
      const FolderIdentity identity = IdentityOf(rec.PlatformEntry.status);
      // A folder reached again through a link or bind mount is the same folder as one the
      // walk is already inside: counting or entering it again would count its files twice
      // and, followed round, never end.
      const bool onPathAlready = std::find(onPath.begin(), onPath.end(), identity) != onPath.end();
      if (!rec.EntryName.starts_with('.') && !onPathAlready) {
        const std::string sub = prefix + rec.EntryName;
        FileListBoxTest->SetDirectory(sub);
        if (FileListBoxTest->Count() > 0) {
          ProcessMessages();
          CountFolder(sub);
        }
        onPath.push_back(identity);
        WalkSubfolders(sub + "/" + kEveryEntry, onPath);
        onPath.pop_back();
      }
    }
    ProcessMessages();
  } while (SearchNext(rec) == 0);
  SearchClose(rec);
}

void TfrmMain::BitBtnStopClick(QObject*) { FStopRequested = true; }

}  // namespace foliotally
