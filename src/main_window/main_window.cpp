#include "main_window/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

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
#include "pagecount/foliotally.h"
#include "platform/posix_file_system.h"

namespace foliotally {
namespace {

// The window's client area as laid out at 96 dots per inch; the status bar takes the
// bottom 19 pixels of it.
constexpr int kClientWidth = 558;
constexpr int kClientHeight = 524;
constexpr int kStatusBarHeight = 19;
// Frame allowance between the outer size and the client area on the platform the layout
// was drawn for; used to turn the outer limits into client limits.
constexpr int kOuterWidth = 574;
constexpr int kOuterHeight = 581;
constexpr int kMaxOuterHeight = 589;

template <typename T>
T* Place(T* control, int left, int top, int width, int height) {
  control->setGeometry(left, top, width, height);
  return control;
}

QLabel* PlaceLabel(QWidget* parent, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->move(left, top);
  label->adjustSize();
  return label;
}

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
  client->setFixedSize(kClientWidth, kClientHeight - kStatusBarHeight);
  setCentralWidget(client);
  CreateFolderBrowser(client);
  CreateTotals(client);
  CreateLogAndOptions(client);
  CreateButtons(client);
  CreateMenus();
  CreateDropTarget();

  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName("StatusBar");
  StatusBar->setFixedHeight(kStatusBarHeight);
  StatusBar->setSizeGripEnabled(false);
  setStatusBar(StatusBar);
  StatusBar->showMessage(InitialStatusText(FWebLinks->addresses()));
  FAboutBox = new TAboutBox(*FWebLinks, this);

  FIdleTimer = new QTimer(this);
  FIdleTimer->setSingleShot(true);
  FIdleTimer->setInterval(0);
  connect(FIdleTimer, &QTimer::timeout, this, &TfrmMain::ApplyStartupFile);

  ConnectHandlers();
  adjustSize();
  const QSize frame(kOuterWidth - kClientWidth, kOuterHeight - kClientHeight);
  const int menu_height = menuBar()->sizeHint().height();
  resize(kClientWidth, kClientHeight + menu_height);
  setMaximumSize(kOuterWidth - frame.width(), kMaxOuterHeight - frame.height() + menu_height);
  move(440, 208);
  FormCreate(this);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::CreateFolderBrowser(QWidget* client) {
  DirectoryListBox = Place(new TDirectoryListBox(*FFileSystem, client), 8, 0, 329, 209);
  DirectoryListBox->setObjectName("DirectoryListBox");
  DirectoryListBox->setToolTip("Support for drag-drop from windows explorer");
  DirectoryListBox->setAccessibleName("Folders");

  DirectoryListBox->SetItemHeight(16);

  FileListBox = Place(new TFileListBox(*FFileSystem, client), 344, 0, 193, 233);
  FileListBox->setObjectName("FileListBox");
  FileListBox->SetMask("*.pdf");
  FileListBox->SetMultiSelect(true);
  FileListBox->SetItemHeight(13);
  DirectoryListBox->SetFileList(FileListBox);
  FileListBox->setAccessibleName("Files");

  DriveComboBox = Place(new TDriveComboBox(*FFileSystem, client), 8, 216, 321, 19);
  DriveComboBox->SetTextCase(TTextCase::tcUpperCase);
  DriveComboBox->SetDirList(DirectoryListBox);
  DriveComboBox->setObjectName("DriveComboBox");
  DriveComboBox->setAccessibleName("Drive");

  FileListBoxTest = Place(new TFileListBox(*FFileSystem, client), 488, 424, 49, 33);
  FileListBoxTest->setObjectName("FileListBoxTest");
  FileListBoxTest->SetMask("*.pdf");
  FileListBoxTest->hide();
}

void TfrmMain::CreateTotals(QWidget* client) {
  GroupBox1 = Place(new QGroupBox(client), 8, 240, 529, 57);
  GroupBox1->setObjectName("GroupBox1");
  Label2 = PlaceLabel(GroupBox1, "Total files:", 235, 27);
  Label2->setObjectName("Label2");
  edtFileCount = Place(new QLineEdit("0", GroupBox1), 296, 24, 65, 21);
  edtFileCount->setObjectName("edtFileCount");
  edtFileCount->setReadOnly(true);
  edtFileCount->setAccessibleName("Total files:");
  Label2->setBuddy(edtFileCount);
  Label1 = PlaceLabel(GroupBox1, "Total pages:", 375, 26);
  Label1->setObjectName("Label1");
  edtCounter = Place(new QLineEdit("0", GroupBox1), 440, 22, 65, 21);
  edtCounter->setObjectName("edtCounter");
  edtCounter->setReadOnly(true);
  edtCounter->setAccessibleName("Total pages:");
  Label1->setBuddy(edtCounter);
}

void TfrmMain::CreateLogAndOptions(QWidget* client) {
  RichEditLog = Place(new TRichEditLog(client), 8, 304, 545, 73);
  RichEditLog->setObjectName("RichEditLog");
  RichEditLog->setAccessibleName("Results log");

  GroupBox2 = Place(new QGroupBox("Options", client), 8, 384, 545, 73);
  GroupBox2->setObjectName("GroupBox2");
  chkbxAddToLog = Place(new QCheckBox("Add to log", GroupBox2), 8, 20, 97, 17);
  chkbxAddToLog->setObjectName("chkbxAddToLog");
  chkbxAddToLog->setChecked(true);
  CheckBox2 = Place(new QCheckBox("Include subdirectories", GroupBox2), 8, 40, 161, 17);
  CheckBox2->setObjectName("CheckBox2");
  CheckBox2->setChecked(true);
}

void TfrmMain::CreateButtons(QWidget* client) {
  // The Save button overlaps the log's lower edge in the layout; it is raised above it.
  BitBtn2 = Place(new QPushButton("Save", client), 468, 362, 75, 25);
  BitBtn2->setObjectName("BitBtn2");
  BitBtnStop = Place(new QPushButton("Stop", client), 400, 416, 57, 33);
  BitBtnStop->setObjectName("BitBtnStop");
  BitBtnStop->hide();
  Image1 = Place(new QLabel(client), 16, 464, 209, 33);
  Image1->setObjectName("Image1");
  Image1->setScaledContents(true);
  Image1->setCursor(Qt::PointingHandCursor);
  Image1->setAccessibleName("Foliotally banner: open the user guide");
  Image1->setPixmap(BannerPicture());
  Image1->installEventFilter(this);
  BtnCountSelected = Place(new QPushButton("Selected", client), 248, 464, 105, 33);
  BtnCountSelected->setObjectName("BtnCountSelected");
  btnCountAll = Place(new QPushButton("Count All", client), 360, 464, 97, 33);
  btnCountAll->setObjectName("btnCountAll");
  BitBtn1 = Place(new QPushButton("&Close", client), 464, 464, 89, 33);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setAccessibleName("Close");
  BitBtn2->raise();
  BitBtn2->setIcon(ButtonGlyph("save"));
  BitBtnStop->setIcon(ButtonGlyph("stop"));
  BtnCountSelected->setIcon(ButtonGlyph("count-selected"));
  btnCountAll->setIcon(ButtonGlyph("count-all"));
  BitBtn1->setIcon(ButtonGlyph("close"));
}

void TfrmMain::CreateMenus() {
  QMenu* file = menuBar()->addMenu("File");
  Close1 = file->addAction("Close");
  Close1->setObjectName("Close1");
  QMenu* view = menuBar()->addMenu("View");
  PagesBySize1 = view->addAction("Pages by Size");
  PagesBySize1->setObjectName("PagesBySize1");
  QMenu* help = menuBar()->addMenu("Help");
  Visitwebsite1 = help->addAction("Visit website");
  Visitwebsite1->setObjectName("Visitwebsite1");
  About1 = help->addAction("About");
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
void TfrmMain::Visitwebsite1Click(QObject*) { FWebLinks->OpenHome(); }
void TfrmMain::Image1Click(QObject*) { FWebLinks->OpenPage(); }
void TfrmMain::BitBtn2Click(QObject*) { SaveLogThroughDialog(*RichEditLog, *SaveDialog1); }
void TfrmMain::DriveComboBoxChange(QObject*) {}

}  // namespace foliotally
