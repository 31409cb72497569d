#include "main_window/main_window.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "about/about_box.h"
#include "about/button_glyphs.h"
#include "about/pictures.h"
#include "about/web_links.h"
#include "dragdrop/qt/qt_drop_platform.h"
#include "dragdrop/target/drop_file_target.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/drive_combo_box.h"
#include "folder_browser/file_list_box.h"
#include "folder_browser/path_functions.h"
#include "main_window/results_log/file_dialog_prompt.h"
#include "main_window/results_log/rich_edit_log.h"
#include "main_window/results_log/save_dialog.h"
#include "main_window/results_log/save_log_action.h"
#include "messages/error_display.h"
#include "messages/notice_box.h"
#include "pagecount/foliotally.h"
#include "platform/posix_file_system.h"

namespace foliotally {
namespace {

// The window's client area as first laid out, at 96 dots per inch: it opens at this size
// and is not made smaller than it unless the screen is smaller still.
constexpr int kClientWidth = 558;
constexpr int kClientHeight = 524;
// Where the window first opens, as laid out.
constexpr QPoint kFirstPosition(440, 208);
// The room between the controls and the client area's edges, and between neighbours.
constexpr int kMargin = 8;
constexpr int kSpacing = 7;

}  // namespace

TfrmMain::TfrmMain(std::string startup_file, TfrmMainServices services, QWidget* parent)
    : QMainWindow(parent),
      FWebLinks(std::make_unique<WebLinks>(
          ProgramWebAddresses(), services.urlOpener ? services.urlOpener : DesktopUrlOpener())),
      FStartupFile(std::move(startup_file)) {
  if (services.fileSystem == nullptr) {
    FOwnFileSystem = std::make_unique<PosixFileSystem>();
    services.fileSystem = FOwnFileSystem.get();
  }
  FFileSystem = services.fileSystem;
  FPageCounter = std::move(services.pageCounter);
  if (services.savePrompt == nullptr) {
    FOwnSavePrompt = std::make_unique<FileDialogPrompt>();
    services.savePrompt = FOwnSavePrompt.get();
  }
  SaveDialog1 = std::make_unique<TSaveDialog>(*services.savePrompt);
  setWindowTitle("Foliotally");
  // The layout was drawn for an 8-point font 11 pixels high; where that family is missing
  // the nearest sans-serif face of the same pixel height keeps the labels in their boxes.
  QFont::insertSubstitutions("MS Sans Serif",
                             {"Liberation Sans", "Arial", "Nimbus Sans", "Helvetica"});
  QFont font("MS Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  setFont(font);

  auto* client = new QWidget(this);
  setCentralWidget(client);
  auto* rows = new QVBoxLayout(client);
  rows->setContentsMargins(kMargin, 0, kMargin, kMargin / 2);
  rows->setSpacing(kSpacing);
  CreateFolderBrowser(client, *rows);
  CreateTotals(client, *rows);
  CreateLogAndOptions(client, *rows);
  CreateButtons(client, *rows);
  CreateMenus();
  CreateDropTarget();

  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName("StatusBar");
  StatusBar->setSizeGripEnabled(true);
  setStatusBar(StatusBar);
  StatusBar->showMessage(InitialStatusText(FWebLinks->addresses()));
  FAboutBox = new TAboutBox(*FWebLinks, this);

  FIdleTimer = new QTimer(this);
  FIdleTimer->setSingleShot(true);
  FIdleTimer->setInterval(0);
  connect(FIdleTimer, &QTimer::timeout, this, &TfrmMain::ApplyStartupFile);

  ConnectHandlers();
  CreateKeys();
  FitToScreen();
  FormCreate(this);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::FitToScreen() {
  // The first size is the one the layout was drawn for, which is also the smallest; a
  // screen too small for it (a small display at twice the usual scale) gets a window that
  // fills it instead, and the lists and the log give up the room.
  QSize first(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  QRect room = screen() ? screen()->availableGeometry() : QRect(QPoint(0, 0), first);
  first = first.boundedTo(room.size());
  setMinimumSize(first.expandedTo(minimumSizeHint()));
  resize(first.expandedTo(minimumSizeHint()));
  move(kFirstPosition);
  KeepOnScreen();
}

void TfrmMain::KeepOnScreen() {
  if (!screen()) return;
  const QRect room = screen()->availableGeometry();
  const QRect outer = frameGeometry();
  const int left = std::max(room.left(), std::min(outer.left(), room.right() + 1 - outer.width()));
  const int top = std::max(room.top(), std::min(outer.top(), room.bottom() + 1 - outer.height()));
  move(left, top);
}

void TfrmMain::CreateFolderBrowser(QWidget* client, QBoxLayout& rows) {
  DirectoryListBox = new TDirectoryListBox(*FFileSystem, client);
  DirectoryListBox->setObjectName("DirectoryListBox");
  DirectoryListBox->setToolTip("Support for drag-drop from the file manager");
  DirectoryListBox->setAccessibleName("Folders");
  DirectoryListBox->SetItemHeight(16);
  DirectoryListBox->setMinimumSize(120, 64);

  FileListBox = new TFileListBox(*FFileSystem, client);
  FileListBox->setObjectName("FileListBox");
  FileListBox->SetMask("*.pdf");
  FileListBox->SetMultiSelect(true);
  FileListBox->SetItemHeight(13);
  FileListBox->setMinimumSize(96, 64);
  DirectoryListBox->SetFileList(FileListBox);
  FileListBox->setAccessibleName("Files");

  DriveComboBox = new TDriveComboBox(*FFileSystem, client);
  DriveComboBox->SetTextCase(TTextCase::tcUpperCase);
  DriveComboBox->SetDirList(DirectoryListBox);
  DriveComboBox->setObjectName("DriveComboBox");
  DriveComboBox->setAccessibleName("Drive");

  // Never shown and never laid out: it only answers whether a folder holds matching files.
  FileListBoxTest = new TFileListBox(*FFileSystem, client);
  FileListBoxTest->setObjectName("FileListBoxTest");
  FileListBoxTest->SetMask("*.pdf");
  FileListBoxTest->hide();

  auto* folders = new QVBoxLayout;
  folders->setSpacing(kSpacing);
  folders->addWidget(DirectoryListBox, 1);
  folders->addWidget(DriveComboBox);
  auto* browser = new QHBoxLayout;
  browser->setSpacing(kSpacing);
  // The folder list takes 329 of every 522 pixels across, the file list the rest.
  browser->addLayout(folders, 329);
  browser->addWidget(FileListBox, 193);
  rows.addLayout(browser, 3);
}

void TfrmMain::CreateTotals(QWidget* client, QBoxLayout& rows) {
  GroupBox1 = new QGroupBox(client);
  GroupBox1->setObjectName("GroupBox1");
  Label2 = new QLabel("Total files:", GroupBox1);
  Label2->setObjectName("Label2");
  edtFileCount = new QLineEdit("0", GroupBox1);
  edtFileCount->setObjectName("edtFileCount");
  edtFileCount->setReadOnly(true);
  edtFileCount->setAccessibleName("Total files:");
  Label2->setBuddy(edtFileCount);
  Label1 = new QLabel("Total pages:", GroupBox1);
  Label1->setObjectName("Label1");
  edtCounter = new QLineEdit("0", GroupBox1);
  edtCounter->setObjectName("edtCounter");
  edtCounter->setReadOnly(true);
  edtCounter->setAccessibleName("Total pages:");
  Label1->setBuddy(edtCounter);
  // Wide enough for any total the 32-bit counters can reach.
  const int digits = edtCounter->fontMetrics().horizontalAdvance(QStringLiteral("-2147483648"));
  for (QLineEdit* edit : {edtFileCount, edtCounter})
    edit->setMinimumWidth(std::max(65, digits + 12));

  auto* totals = new QHBoxLayout(GroupBox1);
  totals->addStretch(1);
  totals->addWidget(Label2);
  totals->addWidget(edtFileCount);
  totals->addSpacing(2 * kSpacing);
  totals->addWidget(Label1);
  totals->addWidget(edtCounter);
  rows.addWidget(GroupBox1);
}

void TfrmMain::CreateLogAndOptions(QWidget* client, QBoxLayout& rows) {
  RichEditLog = new TRichEditLog(client);
  RichEditLog->setObjectName("RichEditLog");
  RichEditLog->setAccessibleName("Results log");
  RichEditLog->setMinimumHeight(48);
  rows.addWidget(RichEditLog, 1);

  GroupBox2 = new QGroupBox("Options", client);
  GroupBox2->setObjectName("GroupBox2");
  chkbxAddToLog = new QCheckBox("Add to &log", GroupBox2);
  chkbxAddToLog->setObjectName("chkbxAddToLog");
  chkbxAddToLog->setChecked(true);
  CheckBox2 = new QCheckBox("&Include subdirectories", GroupBox2);
  CheckBox2->setObjectName("CheckBox2");
  CheckBox2->setChecked(true);
  auto* options = new QVBoxLayout(GroupBox2);
  options->addWidget(chkbxAddToLog);
  options->addWidget(CheckBox2);

  BitBtn2 = new QPushButton("Sa&ve", client);
  BitBtn2->setObjectName("BitBtn2");
  BitBtn2->setMinimumSize(75, 25);
  BitBtnStop = new QPushButton("S&top", client);
  BitBtnStop->setObjectName("BitBtnStop");
  BitBtnStop->setMinimumSize(75, 33);
  BitBtnStop->hide();
  auto* log_buttons = new QVBoxLayout;
  log_buttons->addWidget(BitBtn2);
  log_buttons->addWidget(BitBtnStop);
  log_buttons->addStretch(1);
  auto* row = new QHBoxLayout;
  row->addWidget(GroupBox2, 1);
  row->addLayout(log_buttons);
  rows.addLayout(row);
}

void TfrmMain::CreateButtons(QWidget* client, QBoxLayout& rows) {
  Image1 = new QLabel(client);
  Image1->setObjectName("Image1");
  Image1->setFixedSize(209, 33);
  Image1->setScaledContents(true);
  Image1->setCursor(Qt::PointingHandCursor);
  Image1->setAccessibleName("Foliotally banner: open the user guide");
  Image1->setPixmap(BannerPicture());
  Image1->installEventFilter(this);
  BtnCountSelected = new QPushButton("&Selected", client);
  BtnCountSelected->setObjectName("BtnCountSelected");
  BtnCountSelected->setMinimumSize(105, 33);
  btnCountAll = new QPushButton("Count &All", client);
  btnCountAll->setObjectName("btnCountAll");
  btnCountAll->setMinimumSize(97, 33);
  BitBtn1 = new QPushButton("&Close", client);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setAccessibleName("Close");
  BitBtn1->setMinimumSize(89, 33);
  BitBtn2->setIcon(ButtonGlyph("save"));
  BitBtnStop->setIcon(ButtonGlyph("stop"));
  BtnCountSelected->setIcon(ButtonGlyph("count-selected"));
  btnCountAll->setIcon(ButtonGlyph("count-all"));
  BitBtn1->setIcon(ButtonGlyph("close"));

  auto* row = new QHBoxLayout;
  row->addSpacing(kMargin);
  row->addWidget(Image1);
  row->addStretch(1);
  row->addWidget(BtnCountSelected);
  row->addWidget(btnCountAll);
  row->addWidget(BitBtn1);
  rows.addLayout(row);
}

void TfrmMain::CreateMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  Close1 = file->addAction("&Close");
  Close1->setObjectName("Close1");
  QMenu* view = menuBar()->addMenu("Vie&w");
  PagesBySize1 = view->addAction("Pages by &Size");
  PagesBySize1->setObjectName("PagesBySize1");
  QMenu* help = menuBar()->addMenu("&Help");
  Visitwebsite1 = help->addAction("&Visit website");
  Visitwebsite1->setObjectName("Visitwebsite1");
  // The address it opens is the user guide's first page, which F1 opens everywhere.
  Visitwebsite1->setShortcut(QKeySequence::HelpContents);
  About1 = help->addAction("&About");
  About1->setObjectName("About1");
}

void TfrmMain::ConnectHandlers() {
  connect(Close1, &QAction::triggered, this, [this] { Close1Click(Close1); });
  connect(Visitwebsite1, &QAction::triggered, this, [this] { Visitwebsite1Click(Visitwebsite1); });
  connect(About1, &QAction::triggered, this, [this] { About1Click(About1); });
  connect(PagesBySize1, &QAction::triggered, this, [this] { PagesBySize1Click(PagesBySize1); });
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(BitBtn1); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(BitBtn2); });
  connect(BitBtnStop, &QPushButton::clicked, this, [this] { BitBtnStopClick(BitBtnStop); });
  connect(BtnCountSelected, &QPushButton::clicked, this,
          [this] { BtnCountSelectedClick(BtnCountSelected); });
  connect(btnCountAll, &QPushButton::clicked, this, [this] { btnCountAllClick(btnCountAll); });
  connect(FileListBox, &TFileListBox::OnClick, this, &TfrmMain::FileListBoxClick);
  connect(FileListBoxTest, &TFileListBox::OnClick, this, &TfrmMain::FileListBoxClick);
  connect(DriveComboBox, &TDriveComboBox::OnChange, this, &TfrmMain::DriveComboBoxChange);
}

bool TfrmMain::event(QEvent* event) {
  // The status bar shows what the handlers put there and nothing else: a status tip, sent
  // as the pointer crosses the menu bar, would wipe a count's result.
  if (event->type() == QEvent::StatusTip) return true;
  return QMainWindow::event(event);
}

void TfrmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate(this);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
    // A left click, released over the banner; other buttons do nothing.
    const auto* release = static_cast<QMouseEvent*>(event);
    if (release->button() == Qt::LeftButton &&
        Image1->rect().contains(release->position().toPoint()))
      Image1Click(Image1);
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (FShownOnce) return;
  FShownOnce = true;
  // Only now is the frame the window manager draws around the window known.
  KeepOnScreen();
  FormShow(this);
}

void TfrmMain::FormCreate(QObject*) {}

void TfrmMain::FormShow(QObject*) {
  // Shown, not activated: a window manager that prevents focus stealing, or none at all,
  // never activates the window, and the file must still be applied.
  if (!FStartupFile.empty()) FIdleTimer->start();
}

void TfrmMain::FormActivate(QObject*) {}

void TfrmMain::ApplyStartupFile() {
  // Once per run: applying it again later would undo the folders the user entered or
  // dropped since.
  FIdleTimer->stop();
  FileListBox->SetDirectory(FolderPartOf(FStartupFile));
  // Appended, not "*" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) inside that operator+.
  FileListBox->SetMask(std::string("*").append(ExtensionPartOf(FStartupFile)));
  SelectListedFile(NamePartOf(FStartupFile));
}

void TfrmMain::Close1Click(QObject*) { close(); }
void TfrmMain::BitBtn1Click(QObject*) { close(); }
void TfrmMain::About1Click(QObject*) { FAboutBox->exec(); }
void TfrmMain::Visitwebsite1Click(QObject*) {
  if (!FWebLinks->OpenHome()) ShowCouldNotOpen(FWebLinks->addresses().home);
}
void TfrmMain::Image1Click(QObject*) {
  if (!FWebLinks->OpenPage()) ShowCouldNotOpen(FWebLinks->addresses().page);
}
void TfrmMain::BitBtn2Click(QObject*) {
  if (SaveLogThroughDialog(*RichEditLog, *SaveDialog1)) RichEditLog->MarkSaved();
}

void TfrmMain::CreateKeys() {
  auto* save = new QAction(this);
  save->setObjectName("SaveLogKey");
  save->setShortcut(QKeySequence::Save);
  save->setShortcutContext(Qt::WindowShortcut);
  addAction(save);
  connect(save, &QAction::triggered, this, [this] { BitBtn2Click(BitBtn2); });
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (!ConfirmClose()) {
    event->ignore();
    return;
  }
  // A count under way ends before its next file; the program ends once it has.
  FStopRequested = true;
  QMainWindow::closeEvent(event);
}

bool TfrmMain::ConfirmClose() {
  if (!RichEditLog->HasUnsavedText()) return true;
  QMessageBox box(QMessageBox::Warning, "Foliotally",
                  "The results log holds lines that have not been saved.",
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setInformativeText("Save them before closing?");
  // Each answer has a key of its own: S, D, and Escape for Cancel.
  box.button(QMessageBox::Save)->setText("&Save");
  box.button(QMessageBox::Discard)->setText("&Discard");
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  const int answer = box.exec();
  if (answer == QMessageBox::Discard) return true;
  if (answer != QMessageBox::Save) return false;
  try {
    BitBtn2Click(BitBtn2);
  } catch (...) {
    // The window stays open with the log: a save that failed must not lose it.
    ReportUnhandledError(std::current_exception());
    return false;
  }
  // A cancelled save dialog keeps the window open too.
  return !RichEditLog->HasUnsavedText();
}

void TfrmMain::ShowCouldNotOpen(const QUrl& address) { ShowErrorBox(CouldNotOpenText(address)); }
void TfrmMain::DriveComboBoxChange(QObject*) {}

}  // namespace foliotally
