// Counting one file, the file the user clicks and the files selected in the list.
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QStatusBar>
#include <string>

#include "folder_browser/file_list_box.h"
#include "folder_browser/path_functions.h"
#include "main_window/checked_counter.h"
#include "main_window/count_status_text.h"
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

int32_t TfrmMain::GetPageCount(const std::string& path) const {
  if (FPageCounter) return FPageCounter(path);
  return GetFoliotally(path.c_str());
}

void TfrmMain::SetStatusText(const std::string& text) { StatusBar->showMessage(FromLocal(text)); }

bool TfrmMain::CountFile(const std::string& path) {
  const int32_t pages = GetPageCount(path);
  if (pages < 0) {
    ShowErrorBox("Invalid pdf file.");
    return false;
  }
  FPageTotal = CheckedAdd(FPageTotal, pages);
  if (chkbxAddToLog->isChecked()) RichEditLog->AppendLogLine(path + ";" + std::to_string(pages));
  return true;
}

void TfrmMain::FileListBoxClick(QObject*) {
  const std::string name = FileListBox->Items(FileListBox->ItemIndex());
  const std::string path = JoinFolderAndName(FileListBox->Directory(), name);
  SetStatusText(name + " has " + CountOf(GetPageCount(path), "page"));
}

void TfrmMain::BtnCountSelectedClick(QObject*) {
  edtCounter->setText("0");
  FPageTotal = 0;
  int32_t counted = 0;
  int32_t invalid = 0;
  const int count = FileListBox->Count();
  for (int i = 0; i < count; ++i) {
    if (!FileListBox->Selected(i)) continue;
    bool valid = false;
    try {
      valid = CountFile(FullPathOf(*FileListBox, i));
    } catch (...) {
      // A log too full for the line still shows the total the file was added to.
      edtCounter->setText(QString::number(FPageTotal));
      throw;
    }
    edtCounter->setText(QString::number(FPageTotal));
    if (!valid) invalid = CheckedAdd(invalid, 1);
    SetStatusText("Counting... " + FileListBox->Items(i));
    counted = CheckedAdd(counted, 1);
    edtFileCount->setText(QString::number(counted));
  }
  SetStatusText(CountEndedText(counted, invalid, false));
}

}  // namespace foliotally
