// Counting one file, the file the user clicks and the files selected in the list.
#include <fcntl.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QStatusBar>
#include <string>

#include "folder_browser/file_list_box.h"
#include "folder_browser/path_functions.h"
#include "main_window/checked_counter.h"
#include "main_window/main_window.h"
#include "main_window/results_log/rich_edit_log.h"
#include "messages/notice_box.h"
#include "pagecount/foliotally.h"

namespace foliotally {
namespace {

QString FromLocal(const std::string& bytes) {
  return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// The full path of a listed file: the list's folder, one delimiter, the name as listed.
std::string FullPathOf(TFileListBox& list, int index) {
  return JoinFolderAndName(list.Directory(), list.Items(index));
}

}  // namespace

FoliotallyCount TfrmMain::GetPageCount(const std::string& path) {
  FoliotallyCount count{};
  if (FPageCounter) {
    count.pages = FPageCounter(path);
    count.verdict = count.pages >= 0 ? FOLIOTALLY_SOUND : FOLIOTALLY_NOT_COUNTABLE;
  } else {
    GetFoliotallyCountAt(AT_FDCWD, path.c_str(), 0, &count);
  }
  if (FTally.Note(count)) ShowPlainBox(QString::fromStdString(RepairHelperNotice()));
  return count;
}

void TfrmMain::SetStatusText(const std::string& text) { StatusBar->showMessage(FromLocal(text)); }

bool TfrmMain::CountFile(const std::string& path) {
  const FoliotallyCount count = GetPageCount(path);
  const int32_t pages = count.pages;
  if (pages < 0) {
    // The box says only that a file is invalid; the status bar says which, and why.
    SetStatusText(InvalidFileStatusText(NamePartOf(path), count));
    ShowErrorBox("Invalid pdf file.");
    return false;
  }
  FPageTotal = CheckedAdd(FPageTotal, pages);
  FLastCountFiles.push_back(path);
  if (chkbxAddToLog->isChecked()) RichEditLog->AppendLogLine(path + ";" + std::to_string(pages));
  return true;
}

void TfrmMain::FileListBoxClick(QObject*) {
  const std::string name = FileListBox->Items(FileListBox->ItemIndex());
  const std::string path = JoinFolderAndName(FileListBox->Directory(), name);
  FTally = {};
  SetStatusText(ClickStatusText(name, GetPageCount(path)));
}

void TfrmMain::BtnCountSelectedClick(QObject*) {
  FLastCountFiles.clear();
  edtCounter->setText("0");
  FPageTotal = 0;
  FTally = {};
  int32_t counted = 0;
  const int count = FileListBox->Count();
  for (int i = 0; i < count; ++i) {
    if (!FileListBox->Selected(i)) continue;
    try {
      CountFile(FullPathOf(*FileListBox, i));
    } catch (...) {
      // A log too full for the line still shows the total the file was added to.
      edtCounter->setText(QString::number(FPageTotal));
      throw;
    }
    edtCounter->setText(QString::number(FPageTotal));
    SetStatusText("Counting... " + FileListBox->Items(i));
    counted = CheckedAdd(counted, 1);
    edtFileCount->setText(QString::number(counted));
  }
  SetStatusText(CountEndText(counted, FTally));
}

}  // namespace foliotally
