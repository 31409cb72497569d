// "Count All": every matching file of the directory list's folder and of the folders below
// it, depth first, in the walk's name order (the order foliotally-count keeps). Each folder
// is read once, for its files and its subfolders alike. The controls are brought up to date
// and the message loop is run once a frame, between two files, so the window repaints and
// answers while the count runs, and "Stop" (or closing the window) takes effect before the
// next file.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "dragdrop/target/drop_file_target.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/file_list_box.h"
#include "folder_browser/file_mask.h"
#include "folder_browser/path_functions.h"
#include "folder_browser/tree_walk_rules.h"
#include "main_window/checked_counter.h"
#include "main_window/main_window.h"
#include "main_window/results_log/rich_edit_log.h"
#include "messages/notice_box.h"
#include "platform/file_system.h"
#include "platform/io_error.h"

namespace foliotally {
namespace {

// How often the window is brought up to date during a count: about once a frame, well
// within the 50 ms a user notices.
constexpr std::chrono::milliseconds kFrame(16);

// A subfolder as the file list names it once entered: a folder reached through a link is
// named by its own path. A folder that cannot be entered fails the count.
std::string EnteredFolder(FileSystem& fs, const std::string& path) {
  if (const int code = fs.ChangeDirectory(path); code != 0) throw MakeInOutError(code);
  std::string entered;
  if (const int code = fs.CurrentDirectory(entered); code != 0) throw MakeInOutError(code);
  return entered;
}

}  // namespace

void TfrmMain::ProcessMessages() { QCoreApplication::processEvents(); }

void TfrmMain::btnCountAllClick(QObject*) {
  const DropsRefused refused(*DropFileTarget1);
  // A "Count All" clicked while this one runs starts over; this one then ends quietly and
  // leaves the end to the newer one.
  const uint64_t run = ++FCountRun;
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
    FShownFolder = start;
    FNextFrame = std::chrono::steady_clock::now() + kFrame;
    const FileMasks masks(MaskPatterns(FileListBox->Mask()));
    WalkedFolders walked;
    FileStatus status;
    if (FFileSystem->Stat(start, status) == 0) walked.FirstVisit(IdentityOf(status));
    WalkSubfolders(start, masks, walked, CheckBox2->isChecked(), run);
    if (FCountRun != run) return;
    ShowTreeTotals();
    SetStatusText(CountEndText(FFileCount, FTally, FStopRequested));
  } catch (...) {
    if (FCountRun != run) return;
    // One failing file or folder ends the whole count; what was gathered so far stays.
    ShowTreeTotals();
    ShowPlainBox("some files encountered some errors");
  }
  BitBtnStop->hide();
  DirectoryListBox->SetDirectory(start);
}

bool TfrmMain::TreeCountEnded(uint64_t run) const { return FStopRequested || FCountRun != run; }

void TfrmMain::ShowTreeTotals() {
  edtCounter->setText(QString::number(FPageTotal));
  // The files box keeps its old number until the count has counted a file.
  if (FFileCount > 0) edtFileCount->setText(QString::number(FFileCount));
}

void TfrmMain::PaceTreeCount(const std::string& folder, const std::string& name) {
  // The first file (none counted yet) is named at once, so that the status never says
  // nothing of the count; the others a frame at a time.
  const bool first_file = !name.empty() && FFileCount == 0;
  if (!first_file && std::chrono::steady_clock::now() < FNextFrame) return;
  ShowTreeTotals();
  if (!name.empty()) SetStatusText("Counting... " + name);
  // The folder lists follow the walk, a frame at a time: showing every folder the walk
  // passes would read each one twice more.
  if (folder != FShownFolder) {
    FShownFolder = folder;
    FileListBox->SetDirectory(folder);
  }
  ProcessMessages();
  FNextFrame = std::chrono::steady_clock::now() + kFrame;
}

void TfrmMain::CountFolder(const std::string& folder, const std::vector<std::string>& names,
                           uint64_t run) {
  for (const std::string& name : names) {
    PaceTreeCount(folder, name);
    if (TreeCountEnded(run)) return;
    CountFile(JoinFolderAndName(folder, name));
    FFileCount = CheckedAdd(FFileCount, 1);
  }
}

void TfrmMain::WalkSubfolders(const std::string& folder, const FileMasks& masks,
                              WalkedFolders& walked, bool descend, uint64_t run) {
  // The entries are read before any subfolder is entered, so that no folder stays open
  // while the walk is deeper down: a deep tree would otherwise run out of descriptors.
  WalkListing listing;
  // A folder that can be entered but not read (or read but not searched) is a failure
  // like one that cannot be entered: its files would be missing from the total.
  if (const int code = ReadFolderForWalk(*FFileSystem, folder, &masks, listing); code != 0)
    throw MakeInOutError(code);
  CountFolder(folder, listing.files, run);
  if (!descend) return;
  for (const WalkSubfolder& sub : listing.subfolders) {
    PaceTreeCount(folder, {});
    if (TreeCountEnded(run)) return;
    if (!walked.FirstVisit(sub.identity)) continue;
    WalkSubfolders(EnteredFolder(*FFileSystem, JoinFolderAndName(folder, sub.name)), masks, walked,
                   true, run);
  }
}

void TfrmMain::BitBtnStopClick(QObject*) { FStopRequested = true; }

}  // namespace foliotally
