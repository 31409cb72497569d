#include "folder_browser/directory_list_box.h"

#include <QEvent>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <algorithm>

#include "errors/errors.h"
#include "errors/index_errors.h"
#include "folder_browser/current_folder.h"
#include "folder_browser/directory_search.h"
#include "folder_browser/existence_checks.h"
#include "folder_browser/file_list_box.h"
#include "folder_browser/folder_levels.h"
#include "folder_browser/glyph_row_delegate.h"
#include "folder_browser/name_collation.h"
#include "folder_browser/path_functions.h"
#include "folder_browser/subfolder_names.h"

namespace foliotally {
namespace {

// Sets a flag for the life of the scope, and clears it also when an error leaves.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

// Stops repainting for the life of the scope.
class NoRepaintScope {
 public:
  explicit NoRepaintScope(QWidget* widget) : widget_(widget), was_(widget->updatesEnabled()) {
    widget_->setUpdatesEnabled(false);
  }
  ~NoRepaintScope() { widget_->setUpdatesEnabled(was_); }
  NoRepaintScope(const NoRepaintScope&) = delete;
  NoRepaintScope& operator=(const NoRepaintScope&) = delete;

 private:
  QWidget* widget_;
  bool was_;
};

}  // namespace

// Reads the volume table once for a whole folder change: listing the volumes reads the
// mount table and the device labels, too much to repeat for every look-up while a folder
// walk moves the list from folder to folder.
class TDirectoryListBox::VolumeTableScope {
 public:
  explicit VolumeTableScope(TDirectoryListBox& list) : list_(list) {
    if (list_.FVolumeTable) return;
    table_ = list_.fs_.Volumes();
    list_.FVolumeTable = &table_;
    owner_ = true;
  }
  ~VolumeTableScope() {
    if (owner_) list_.FVolumeTable = nullptr;
  }
  VolumeTableScope(const VolumeTableScope&) = delete;
  VolumeTableScope& operator=(const VolumeTableScope&) = delete;

 private:
  TDirectoryListBox& list_;
  std::vector<Volume> table_;
  bool owner_ = false;
};

TDirectoryListBox::TDirectoryListBox(FileSystem& fs, QWidget* parent)
    : QListView(parent), fs_(fs), FDirectory(CurrentFolderOf(fs)) {
  FModel = new NameRowsModel(this);
  FDelegate = new GlyphRowDelegate(FGlyphs, this);
  setModel(FModel);
  setItemDelegate(FDelegate);
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  resize(145, height());
  FitItemHeight();
  ReadCaseRules();
}

TDirectoryListBox::~TDirectoryListBox() = default;

void TDirectoryListBox::showEvent(QShowEvent* event) {
  QListView::showEvent(event);
  HandleNeeded();
}

void TDirectoryListBox::changeEvent(QEvent* event) {
  QListView::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitItemHeight();
}

void TDirectoryListBox::resizeEvent(QResizeEvent* event) {
  QListView::resizeEvent(event);
  if (FDirLabelSizesToText) UpdateDirLabel();
}

int TDirectoryListBox::ItemHeight() const { return FDelegate->RowHeight(); }

void TDirectoryListBox::SetItemHeight(int height) {
  FItemHeight = height;
  FitItemHeight();
}

void TDirectoryListBox::FitItemHeight() {
  if (FitRowHeight(*FDelegate, {FItemHeight, fontMetrics().height(), kGlyphHeight + 1}))
    doItemsLayout();
}

// ---- Links ----

TFileListBox* TDirectoryListBox::FileList() const { return FFileList.data(); }

void TDirectoryListBox::SetFileList(TFileListBox* list) {
  if (FFileList) FFileList->SetLinkedDirList(nullptr);
  FFileList = list;
  if (list) list->SetLinkedDirList(this);
}

QLabel* TDirectoryListBox::DirLabel() const { return FDirLabel.data(); }

void TDirectoryListBox::SetDirLabel(QLabel* label) {
  FDirLabel = label;
  // A folder name is shown as it is, never read as markup.
  if (label) label->setTextFormat(Qt::PlainText);
  UpdateDirLabel();
}

void TDirectoryListBox::SetDirLabelSizesToText(bool sizes_to_text) {
  FDirLabelSizesToText = sizes_to_text;
  UpdateDirLabel();
}

void TDirectoryListBox::UpdateDirLabel() {
  if (!FDirLabel) return;
  const int width = FDirLabelSizesToText ? this->width() : FDirLabel->width();
  const QFontMetrics metrics(FDirLabel->font());
  const std::string caption = ShortenPath(
      FDirectory,
      [&metrics](std::string_view text) {
        return metrics.horizontalAdvance(DisplayName(std::string(text)));
      },
      width);
  FDirLabel->setText(DisplayName(caption));
  if (FDirLabelSizesToText) FDirLabel->adjustSize();
}

void TDirectoryListBox::SetLinkedDriveBox(QWidget* box, DriveSelectorLink* link) {
  FLinkedDriveBox = box;
  FDriveLink = box ? link : nullptr;
}

QWidget* TDirectoryListBox::LinkedDriveBox() const { return FLinkedDriveBox.data(); }

DriveSelectorLink* TDirectoryListBox::DriveLink() const {
  return FLinkedDriveBox ? FDriveLink : nullptr;
}

// ---- Rows ----

const NameRow& TDirectoryListBox::RowAt(int index) const {
  return FModel->Rows()[static_cast<size_t>(index)];
}

int TDirectoryListBox::Count() {
  HandleNeeded();
  return FModel->Size();
}

std::string TDirectoryListBox::Items(int index) {
  HandleNeeded();
  CheckListIndex<EStringListError>(index, FModel->Size());
  return RowAt(index).text;
}

TDirectoryListBox::RowKind TDirectoryListBox::Kind(int index) {
  HandleNeeded();
  CheckListIndex<EListError>(index, FModel->Size());
  switch (RowAt(index).glyph) {
    case FolderGlyph::kCurrentFolder:
      return RowKind::kCurrent;
    case FolderGlyph::kClosedFolder:
      return RowKind::kSubfolder;
    default:
      return RowKind::kLevelAbove;
  }
}

int TDirectoryListBox::ItemIndex() {
  HandleNeeded();
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void TDirectoryListBox::SetItemIndex(int index) {
  HandleNeeded();
  if (index < 0 || index >= FModel->Size()) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex target = FModel->index(index);
  selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
  scrollTo(target);
}

void TDirectoryListBox::ReadCaseRules() {
  CaseRules rules;
  // When the file system cannot be asked, names are taken as they are: exact comparison
  // never takes two folders for one, and names are shown as written.
  if (fs_.CaseRulesOf(FDirectory, rules) != 0) rules = CaseRules{};
  FPreservesCase = rules.preserves_case || rules.case_sensitive;
  FCaseSensitiveNames = rules.case_sensitive;
}

QString TDirectoryListBox::DisplayText(const std::string& text) const {
  return FPreservesCase || FCaseSensitiveNames ? DisplayName(text) : LowerByLocale(text);
}

void TDirectoryListBox::RebuildLevels() {
  NoRepaintScope no_repaint(this);
  ReadCaseRules();
  std::vector<NameRow> rows;
  const LevelRows levels = LevelRowsOf(FDirectory);
  for (size_t i = 0; i < levels.texts.size(); ++i) {
    NameRow row;
    row.text = levels.texts[i];
    row.display = DisplayText(row.text);
    row.glyph = static_cast<int>(i) == levels.current_row ? FolderGlyph::kCurrentFolder
                                                          : FolderGlyph::kOpenFolder;
    row.indent = 4 * static_cast<int>(i) + 2;
    rows.push_back(std::move(row));
  }
  FCurrentRow = static_cast<int>(rows.size()) - 1;
  // Subfolders sit one step deeper than the deepest level.
  const int subfolder_indent = 4 * static_cast<int>(std::count(FDirectory.begin(), FDirectory.end(),
                                                               PathStyle::Native().delimiter)) +
                               6;
  for (std::string& name :
       NameCollation().SortedWithoutCaseDuplicates(SubfolderNamesOf(fs_, FDirectory))) {
    NameRow row;
    row.display = DisplayText(name);
    row.text = std::move(name);
    row.glyph = FolderGlyph::kClosedFolder;
    row.indent = subfolder_indent;
    rows.push_back(std::move(row));
  }
  FModel->SetRows(std::move(rows));
  if (FHandle.Created()) SetItemIndex(FCurrentRow);
}

std::string TDirectoryListBox::ItemPath(int index) {
  if (index < 0 || index >= Count()) return {};
  if (index == 0) return LevelPathOf(FDirectory, 0);
  switch (Kind(index)) {
    case RowKind::kSubfolder:
      return JoinFolderAndName(FDirectory, RowAt(index).text);
    case RowKind::kCurrent:
      return FDirectory;
    case RowKind::kLevelAbove:
      break;
  }
  return LevelPathOf(FDirectory, index);
}

void TDirectoryListBox::OpenSelectedItem() { ApplyPathText(ItemPath(ItemIndex())); }

// ---- Folder changes ----

std::string TDirectoryListBox::RootOf(const std::string& path) const {
  return ListedVolumeRootOf(FVolumeTable ? *FVolumeTable : fs_.Volumes(), path);
}

std::string TDirectoryListBox::Drive() const { return RootOf(FDirectory); }

void TDirectoryListBox::EnterFolder(const std::string& folder) {
  FDirectory = folder;
  FVolumeFolders.Remember(Drive(), FDirectory);
}

bool TDirectoryListBox::SameFolderName(const std::string& a, const std::string& b) const {
  return FCaseSensitiveNames ? a == b : SameTextIgnoringCase(a, b);
}

void TDirectoryListBox::SetDrive(const std::string& root) {
  VolumeTableScope volumes(*this);
  if (root == Drive()) return;
  // The folder shown is where a later return to this volume goes, also when it is the
  // folder the list started in.
  FVolumeFolders.Remember(Drive(), FDirectory);
  if (!root.empty()) {
    std::string folder = FVolumeFolders.LastFolderOn(root);
    if (folder != root && !IsExistingFolder(fs_, folder)) folder = root;
    ChangeCurrentFolder(fs_, folder);
    EnterFolder(CurrentFolderOf(fs_));
  }
  if (!FInDriveChange) {
    RebuildLevels();
    NotifyChange();
  }
}

void TDirectoryListBox::ChangeToFolder(const std::string& folder) {
  VolumeTableScope volumes(*this);
  const std::string root_before = Drive();
  // A relative folder is taken from the list's present folder.
  if (IsExistingFolder(fs_, FDirectory)) ChangeCurrentFolder(fs_, FDirectory);
  ChangeCurrentFolder(fs_, folder);
  EnterFolder(CurrentFolderOf(fs_));
  // The folder may lie on another volume than its path suggested (a link, a relative
  // name): the drive selector follows without moving this list again.
  if (DriveLink() && !FInDriveChange) {
    const std::string root = Drive();
    if (root != root_before) {
      FlagScope in_drive_change(FInDriveChange);
      DriveLink()->SetDrive(root);
    }
  }
  RebuildLevels();
  NotifyChange();
}

void TDirectoryListBox::ApplyPathText(const std::string& text) {
  if (text.empty() || SameFolderName(text, FDirectory)) return;
  const SplitPath split = SplitPathText(fs_, text);
  VolumeTableScope volumes(*this);
  const std::string target = !split.folder.empty() && split.folder.front() == '/'
                                 ? split.folder
                                 : JoinFolderAndName(FDirectory, split.folder);
  const std::string root = RootOf(target);
  // Entering another volume moves Directory to that volume's last folder first; if the
  // folder itself then cannot be entered, the list keeps showing the folder it showed.
  const std::string shown = FDirectory;
  try {
    if (Drive() != root) {
      FlagScope in_drive_change(FInDriveChange);
      if (DriveSelectorLink* link = DriveLink())
        link->SetDrive(root);
      else
        SetDrive(root);
    }
    ChangeToFolder(split.folder);
  } catch (...) {
    FDirectory = shown;
    throw;
  }
}

void TDirectoryListBox::NotifyChange() {
  if (FFileList) FFileList->ChangeFolder(FDirectory);
  UpdateDirLabel();
  emit OnChange(this);
}

// ---- User input ----

void TDirectoryListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QListView::mouseDoubleClickEvent(event);
  emit OnDblClick(this);
  OpenSelectedItem();
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
    QListView::keyPressEvent(event);
    return;
  }
  QListView::keyPressEvent(event);
  event->accept();
  OpenSelectedItem();
}

}  // namespace foliotally
