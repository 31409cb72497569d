// The program's one main window: the folder browser, the totals, the results log, the
// counting buttons and the menus.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dragdrop/target/drop_effects.h"
#include "dragdrop/target/drop_geometry.h"
#include "main_window/main_window_status_text.h"

class QAction;
class QBoxLayout;
class QCloseEvent;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QStatusBar;
class QTimer;

namespace foliotally {

namespace dragdrop {
class TBackgroundClipboard;
class TCustomDropTarget;
class TDropFileTarget;
class TQtDropPlatform;
}  // namespace dragdrop

class FileMasks;
class FileSystem;
class TAboutBox;
class TDirectoryListBox;
class TDriveComboBox;
class TFileListBox;
class TRichEditLog;
class TSaveDialog;
class WalkedFolders;
class SaveFilePrompt;
class WebLinks;

// What the window asks of the world outside it. Tests replace the parts they answer
// themselves; a part left empty is the real one.
struct TfrmMainServices {
  FileSystem* fileSystem = nullptr;      // folders and files
  SaveFilePrompt* savePrompt = nullptr;  // the save dialog
  // Opening web addresses; false when nothing could open the address.
  std::function<bool(const QUrl&)> urlOpener;
  // Stands in for the page-count library in tests that need counts no small file gives.
  std::function<int32_t(const std::string&)> pageCounter;
};

class TfrmMain : public QMainWindow {
  Q_OBJECT

 public:
  // `startup_file` is the first command-line argument, empty when there is none.
  explicit TfrmMain(std::string startup_file, TfrmMainServices services = {},
                    QWidget* parent = nullptr);
  ~TfrmMain() override;

  // Controls, named as the handlers use them. Owned by the window through Qt parenting.
  TDirectoryListBox* DirectoryListBox = nullptr;
  TFileListBox* FileListBox = nullptr;
  TDriveComboBox* DriveComboBox = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* edtFileCount = nullptr;
  QLineEdit* edtCounter = nullptr;
  TRichEditLog* RichEditLog = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QCheckBox* chkbxAddToLog = nullptr;
  QCheckBox* CheckBox2 = nullptr;
  QPushButton* BitBtnStop = nullptr;
  TFileListBox* FileListBoxTest = nullptr;
  QLabel* Image1 = nullptr;
  QPushButton* BtnCountSelected = nullptr;
  QPushButton* btnCountAll = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QStatusBar* StatusBar = nullptr;
  QAction* Close1 = nullptr;
  QAction* Visitwebsite1 = nullptr;
  QAction* About1 = nullptr;
  QAction* PagesBySize1 = nullptr;
  std::unique_ptr<TSaveDialog> SaveDialog1;
  TAboutBox* AboutBox() const { return FAboutBox; }

  int32_t fileCount() const { return FFileCount; }
  int32_t pageTotal() const { return FPageTotal; }
  bool stopRequested() const { return FStopRequested; }

 public slots:
  void FormCreate(QObject* sender);
  // Arms the start-up file hook; runs once, when the window is first shown.
  void FormShow(QObject* sender);
  // Nothing: returning to the window leaves the folder browser where the user took it.
  void FormActivate(QObject* sender);
  void Close1Click(QObject* sender);
  void BitBtn1Click(QObject* sender);
  void About1Click(QObject* sender);
  void Visitwebsite1Click(QObject* sender);
  void Image1Click(QObject* sender);
  void FileListBoxClick(QObject* sender);
  void BtnCountSelectedClick(QObject* sender);
  void btnCountAllClick(QObject* sender);
  void BitBtnStopClick(QObject* sender);
  void BitBtn2Click(QObject* sender);
  // "View" > "Pages by Size": the files of the last "Count All" or "Selected" by paper
  // size, in a window of their own that measures them when it opens.
  void PagesBySize1Click(QObject* sender);
  void DriveComboBoxChange(QObject* sender);
  // Names dropped on the folder list (or pasted into it) from the file manager: the first
  // one's folder (or the folder itself) is shown. A name that cannot be entered raises,
  // which ends the drop quietly with nothing done.
  void DropFileTarget1Drop(dragdrop::TCustomDropTarget& sender, dragdrop::TShiftState shift,
                           dragdrop::TPoint point, uint32_t& effect);
  // Ctrl+V in the window (but in the log, which pastes text): a folder (or a file's folder)
  // copied in the file manager is entered, by the rules of a drop. Nothing happens when the
  // clipboard holds no name, or while "Count All" runs.
  void DirectoryListBoxPaste();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateFolderBrowser(QWidget* client, QBoxLayout& rows);
  void CreateDropTarget();
  void CreateTotals(QWidget* client, QBoxLayout& rows);
  void CreateLogAndOptions(QWidget* client, QBoxLayout& rows);
  void CreateButtons(QWidget* client, QBoxLayout& rows);
  void CreateMenus();
  // Keys that act on the whole window: Ctrl+S saves the log.
  void CreateKeys();
  // The first size and place, kept on the screen the window opens on.
  void FitToScreen();
  // Moves the window, frame and all, onto the screen's free area where it reaches past it.
  void KeepOnScreen();
  // Asked before the window closes while the log holds lines not yet saved: true when the
  // window may close (the lines were saved, or the user let them go).
  bool ConfirmClose();
  // Says in a box that `address` could not be opened.
  void ShowCouldNotOpen(const QUrl& address);
  void ConnectHandlers();
  void ApplyStartupFile();
  // The one caller of the page-count library: the count, or a negative value for a file
  // that is not a countable PDF.
  // The count with its verdict: a damaged file read as a viewer shows it is told apart.
  FoliotallyCount GetPageCount(const std::string& path);
  // Counts one file into the page total and the log, leaving the total's box to the
  // caller; false (after the error box) for a file that is not a valid PDF file.
  bool CountFile(const std::string& path);
  // "Count All"'s part: the listed files of one folder, until the count `run` ends.
  void CountFolder(const std::string& folder, const std::vector<std::string>& names, uint64_t run);
  // One step of the tree walk: the files of `folder`, then (with `descend`) the subfolders
  // the walk rules take, each one's subtree walked unless `walked` holds it already.
  void WalkSubfolders(const std::string& folder, const FileMasks& masks, WalkedFolders& walked,
                      bool descend, uint64_t run);
  // True once Stop was pressed, the window closed, or a newer count began.
  bool TreeCountEnded(uint64_t run) const;
  // Once a frame: the totals, the file about to be counted, the folder lists moved to
  // `folder`, and the message loop run.
  void PaceTreeCount(const std::string& folder, const std::string& name);
  void ShowTreeTotals();
  void SetStatusText(const std::string& text);
  // A folder is entered; a file's folder is entered and the file selected and counted, as
  // a click on it would. Raises when the name cannot be entered.
  void ShowFolderOrFile(const std::string& path);
  void SelectListedFile(const std::string& name);
  // Pastes the names in `data`, or on the clipboard when null.
  void PasteNames(const QMimeData* data);
  // Refuses drops and pastes while it lives: "Count All" ends by going back to the folder
  // it started in, which would undo them.
  class DropsRefused {
   public:
    explicit DropsRefused(dragdrop::TCustomDropTarget& target);
    ~DropsRefused();
    DropsRefused(const DropsRefused&) = delete;
    DropsRefused& operator=(const DropsRefused&) = delete;

   private:
    dragdrop::TCustomDropTarget& target_;
    bool enabled_;
  };
  // Lets the message loop run: every waiting event is handled, then control comes back.
  static void ProcessMessages();

  // The files the last count counted, for "Pages by Size": only their names are kept while
  // counting, so that the count itself is no slower.
  std::vector<std::string> FLastCountFiles;
  int32_t FFileCount = 0;
  int32_t FPageTotal = 0;
  CountTally FTally;  // damaged and invalid files of the count under way
  bool FStopRequested = false;
  uint64_t FCountRun = 0;    // numbers the "Count All" runs, so a newer one is told apart
  std::string FShownFolder;  // the folder the lists show during a count
  std::chrono::steady_clock::time_point FNextFrame;  // when the window is next brought up to date

  std::unique_ptr<FileSystem> FOwnFileSystem;  // the real one when none was given
  FileSystem* FFileSystem = nullptr;
  std::function<int32_t(const std::string&)> FPageCounter;
  std::unique_ptr<SaveFilePrompt> FOwnSavePrompt;  // the real dialog when none was given
  std::unique_ptr<WebLinks> FWebLinks;
  TAboutBox* FAboutBox = nullptr;  // created hidden with the window and reused
  std::string FStartupFile;
  QTimer* FIdleTimer = nullptr;  // the idle hook that applies the start-up file
  bool FShownOnce = false;

 public:
  // The folder list's drop target; declared after its platform, so it goes first.
  std::unique_ptr<dragdrop::TQtDropPlatform> FDropPlatform;
  std::unique_ptr<dragdrop::TDropFileTarget> DropFileTarget1;
  // Reads another program's clipboard for a paste; a child of the window.
  dragdrop::TBackgroundClipboard* FClipboardReader = nullptr;
};

}  // namespace foliotally
