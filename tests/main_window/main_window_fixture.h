// A main window over a temporary folder tree, with the boxes answered, the save dialog
// scripted and the page counts optionally chosen by the test.
#pragma once

#include <QCoreApplication>
#include <QLineEdit>
#include <QStatusBar>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "folder_browser/current_folder.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/file_list_box.h"
#include "main_window/main_window.h"
#include "main_window/results_log/rich_edit_log.h"
#include "main_window/results_log/save_dialog.h"
#include "support/fake_file_system.h"
#include "support/modal_answerer.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::test {

// Answers the save dialog with the next scripted choice; records what it was asked.
class ScriptedSavePrompt : public SaveFilePrompt {
 public:
  std::optional<SaveFileAnswer> Ask(const SaveFileQuestion& question) override {
    questions.push_back(question);
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  std::vector<std::optional<SaveFileAnswer>> answers;
  std::vector<SaveFileQuestion> questions;
};

class MainWindowFixture {
 public:
  explicit MainWindowFixture(std::function<int32_t(const std::string&)> counter = {}) {
    ChangeCurrentFolder(fs, dir.str());
    TfrmMainServices services;
    services.fileSystem = &fs;
    services.savePrompt = &prompt;
    services.urlOpener = [](const QUrl&) { return true; };
    services.pageCounter = std::move(counter);
    window = std::make_unique<TfrmMain>("", services);
    window->show();
    QCoreApplication::processEvents();
  }

  std::string Pdf(const std::string& relative, int pages) {
    return dir.Write(relative, MakePdf(pages)).string();
  }
  std::string Path(const std::string& relative) const { return (dir.path() / relative).string(); }
  std::string Log() const { return window->RichEditLog->LogText(); }
  QString Status() const { return window->StatusBar->currentMessage(); }
  QString Pages() const { return window->edtCounter->text(); }
  QString Files() const { return window->edtFileCount->text(); }
  // Shows `folder` in the folder browser, as a user double-clicking their way there would.
  void ShowFolder(const std::string& relative) {
    window->DirectoryListBox->SetDirectory(Path(relative));
  }

  TempDir dir;
  FakeFileSystem fs;
  ScriptedSavePrompt prompt;
  std::unique_ptr<TfrmMain> window;
};

}  // namespace foliotally::test
