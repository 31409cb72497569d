#include "folder_browser/drive_combo_box.h"

#include <QEvent>
#include <QIcon>
#include <algorithm>

#include "errors/errors.h"
#include "errors/index_errors.h"
#include "folder_browser/current_folder.h"
#include "folder_browser/drive_row_delegate.h"
#include "folder_browser/name_collation.h"
#include "folder_browser/name_rows_model.h"
#include "folder_browser/volume_memory.h"

namespace foliotally {
namespace {

constexpr int kRootRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;

}  // namespace

TDriveComboBox::TDriveComboBox(FileSystem& fs, QWidget* parent)
    : QComboBox(parent), fs_(fs), FDrive(ListedVolumeRootOf(fs.Volumes(), CurrentFolderOf(fs))) {
  setEditable(false);
  FDelegate = new DriveRowDelegate(this);
  setItemDelegate(FDelegate);
  setIconSize(QSize(kDriveGlyphWidth, kDriveGlyphHeight));
  resize(145, height());
  FitItemHeight();
  // `activated` comes for every pick, also of the row already selected, from the
  // drop-down and from the keyboard alike; programmatic selection does not send it.
  connect(this, &QComboBox::activated, this, &TDriveComboBox::PickRow);
}

TDriveComboBox::~TDriveComboBox() {
  if (FDirList && FDirList->LinkedDriveBox() == this) FDirList->SetLinkedDriveBox(nullptr, nullptr);
}

void TDriveComboBox::showEvent(QShowEvent* event) {
  QComboBox::showEvent(event);
  HandleNeeded();
}

void TDriveComboBox::changeEvent(QEvent* event) {
  QComboBox::changeEvent(event);
  if (event->type() != QEvent::FontChange) return;
  FitItemHeight();
  if (FHandle.Created()) RelistKeepingDrive();
}

void TDriveComboBox::showPopup() {
  // Volumes come and go while the program runs (a stick plugged in, a share mounted), so
  // the list is read again each time it is opened. The selection is kept quietly: nothing
  // moves and no event fires until the user picks a row.
  HandleNeeded();
  RebuildDriveList();
  if (const int row = RowOf(FDrive); row >= 0) setCurrentIndex(row);
  QComboBox::showPopup();
}

void TDriveComboBox::FitItemHeight() {
  FitRowHeight(*FDelegate, {fontMetrics().height(), kDriveGlyphHeight});
}

int TDriveComboBox::ItemHeight() const { return FDelegate->RowHeight(); }

void TDriveComboBox::RelistKeepingDrive() {
  const std::string drive = FDrive;
  RebuildDriveList();
  SetDrive(drive);
}

// ---- Links ----

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
  if (FDirList && FDirList != list && FDirList->LinkedDriveBox() == this)
    FDirList->SetLinkedDriveBox(nullptr, nullptr);
  FDirList = list;
  if (list) list->SetLinkedDriveBox(this, this);
}

// ---- Rows ----

void TDriveComboBox::SetTextCase(TTextCase text_case) {
  FTextCase = text_case;
  if (FHandle.Created()) RelistKeepingDrive();
}

void TDriveComboBox::RebuildDriveList() {
  clear();
  const TextCaser in_case = [this](const std::string& text) { return InTextCase(text, FTextCase); };
  for (const DriveRow& row : DriveRowsOf(fs_.Volumes(), in_case)) {
    addItem(QIcon(FGlyphs.Pixmap(row.kind)), DisplayName(row.text));
    const int index = count() - 1;
    setItemData(index, QByteArray::fromStdString(row.root), kRootRole);
    setItemData(index, static_cast<int>(row.kind), kKindRole);
  }
  setCurrentIndex(-1);
}

int TDriveComboBox::RowOf(const std::string& root) const {
  if (root.empty()) return -1;
  for (int i = 0; i < count(); ++i) {
    if (itemData(i, kRootRole).toByteArray().toStdString() == root) return i;
  }
  return -1;
}

void TDriveComboBox::CheckIndex(int index, bool list_error) const {
  if (list_error) CheckListIndex<EListError>(index, count());
  CheckListIndex<EStringListError>(index, count());
}

int TDriveComboBox::Count() {
  HandleNeeded();
  return count();
}

std::string TDriveComboBox::Items(int index) {
  HandleNeeded();
  CheckIndex(index, false);
  return itemText(index).toStdString();
}

std::string TDriveComboBox::RootOf(int index) {
  HandleNeeded();
  CheckIndex(index, false);
  return itemData(index, kRootRole).toByteArray().toStdString();
}

VolumeKind TDriveComboBox::KindOf(int index) {
  HandleNeeded();
  CheckIndex(index, true);
  return static_cast<VolumeKind>(itemData(index, kKindRole).toInt());
}

// ---- Choosing a volume ----

void TDriveComboBox::SetDrive(const std::string& root) {
  // A volume that could not be entered stays selected while the directory list stayed
  // behind; choosing it again tries again rather than doing nothing.
  const bool list_behind = FDirList && FDirList->Drive() != root;
  if (currentIndex() >= 0 && root == FDrive && !list_behind) return;
  FDrive = root;
  if (root.empty()) {
    setCurrentIndex(-1);
  } else if (const int row = RowOf(root); row >= 0) {
    setCurrentIndex(row);
  }
  // A directory list that started the change itself is already on its way there; its
  // SetDrive then only enters the volume without rebuilding, or does nothing.
  if (FDirList) FDirList->SetDrive(FDrive);
  emit OnChange(this);
}

void TDriveComboBox::PickRow(int index) {
  emit OnClick(this);
  if (index >= 0 && index < count()) {
    setCurrentIndex(index);
    SetDrive(RootOf(index));
  }
  emit OnChange(this);
}

}  // namespace foliotally
