#include "folder_browser/file_list_box.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>

#include "errors/errors.h"
#include "errors/index_errors.h"
#include "folder_browser/busy_cursor.h"
#include "folder_browser/current_folder.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/directory_search.h"
#include "folder_browser/existence_checks.h"
#include "folder_browser/file_mask.h"
#include "folder_browser/glyph_row_delegate.h"
#include "folder_browser/name_collation.h"
#include "folder_browser/path_functions.h"
#include "folder_browser/wildcard.h"

namespace foliotally {
namespace {

// More listed items than this show the busy cursor while the folder is read.
constexpr size_t kBusyCursorItems = 100;

bool IsExecutableName(const std::string& name) {
  std::string extension = ExtensionPartOf(name);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".exe" || extension == ".com" || extension == ".bat" || extension == ".pif";
}

}  // namespace

TFileListBox::TFileListBox(FileSystem& fs, QWidget* parent)
    : QListView(parent), fs_(fs), FDirectory(CurrentFolderOf(fs)) {
  FModel = new NameRowsModel(this);
  FDelegate = new GlyphRowDelegate(FGlyphs, this);
  FDelegate->SetShowGlyphs(false);
  setModel(FModel);
  setItemDelegate(FDelegate);
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  resize(145, height());
  ApplySelectionMode();
  FitItemHeight();
  // A selection change made while user input is handled is the list's click.
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { FSelectionTouched = true; });
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { FSelectionTouched = true; });
}

TFileListBox::~TFileListBox() = default;

void TFileListBox::showEvent(QShowEvent* event) {
  QListView::showEvent(event);
  HandleNeeded();
}

void TFileListBox::changeEvent(QEvent* event) {
  QListView::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitItemHeight();
}

// ---- Properties ----

void TFileListBox::SetMask(const std::string& mask) {
  if (mask == FMask) return;
  FMask = mask;
  ReloadFiles();
}

void TFileListBox::SetFileType(TFileType type) {
  if (type == FFileType) return;
  FFileType = type;
  ReloadFiles();
}

void TFileListBox::SetShowGlyphs(bool show) {
  if (show == FShowGlyphs) return;
  FShowGlyphs = show;
  FDelegate->SetShowGlyphs(show);
  FitItemHeight();
  viewport()->update();
}

void TFileListBox::SetMultiSelect(bool multi) {
  FMultiSelect = multi;
  ApplySelectionMode();
}

void TFileListBox::SetExtendedSelect(bool extended) {
  FExtendedSelect = extended;
  ApplySelectionMode();
}

void TFileListBox::ApplySelectionMode() {
  if (!FMultiSelect)
    setSelectionMode(QAbstractItemView::SingleSelection);
  else if (FExtendedSelect)
    setSelectionMode(QAbstractItemView::ExtendedSelection);
  else
    setSelectionMode(QAbstractItemView::MultiSelection);  // a click toggles
}

void TFileListBox::SetFileEdit(QLineEdit* edit) {
  FFileEdit = edit;
  if (!edit) return;
  const std::string name = SelectedFileName();
  edit->setText(DisplayName(name.empty() ? FMask : name));
}

TDirectoryListBox* TFileListBox::LinkedDirList() const { return FLinkedDirList.data(); }

void TFileListBox::SetLinkedDirList(TDirectoryListBox* list) { FLinkedDirList = list; }

int TFileListBox::ItemHeight() const { return FDelegate->RowHeight(); }

void TFileListBox::SetItemHeight(int height) {
  FItemHeight = height;
  FitItemHeight();
}

void TFileListBox::FitItemHeight() {
  const int glyph_height = FShowGlyphs ? kGlyphHeight + 1 : 0;
  if (FitRowHeight(*FDelegate, {FItemHeight, fontMetrics().height(), glyph_height}))
    doItemsLayout();
}

// ---- Item queries ----

int TFileListBox::Count() {
  HandleNeeded();
  return FModel->Size();
}

std::string TFileListBox::Items(int index) {
  HandleNeeded();
  CheckListIndex<EStringListError>(index, FModel->Size());
  return FModel->Rows()[static_cast<size_t>(index)].text;
}

bool TFileListBox::Selected(int index) {
  HandleNeeded();
  CheckListIndex<EListError>(index, FModel->Size());
  return selectionModel()->isSelected(FModel->index(index));
}

int TFileListBox::ItemIndex() {
  HandleNeeded();
  const QModelIndex current = currentIndex();
  if (FMultiSelect) return current.isValid() ? current.row() : -1;
  if (current.isValid() && selectionModel()->isSelected(current)) return current.row();
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void TFileListBox::SetItemIndex(int index) {
  HandleNeeded();
  const bool inside = index >= 0 && index < FModel->Size();
  const QModelIndex target = inside ? FModel->index(index) : QModelIndex();
  if (FMultiSelect) {
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
  } else if (inside) {
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
  } else {
    selectionModel()->clearSelection();
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
  }
  if (inside) scrollTo(target);
}

std::string TFileListBox::SelectedFileName() {
  // Before the folder is read nothing can be selected; asking must not read it.
  if (!FHandle.Created()) return {};
  const int index = ItemIndex();
  if (index < 0 || index >= FModel->Size() || !Selected(index)) return {};
  return Items(index);
}

std::string TFileListBox::SelectedFilePath() {
  const std::string name = SelectedFileName();
  return name.empty() ? std::string() : JoinFolderAndName(FDirectory, name);
}

int TFileListBox::RowOfName(const std::string& name) const {
  // Item 1 onwards, item 0 last. An exact match wins, so on a file system that tells case
  // apart A.pdf is found rather than a.pdf; failing that, any match ignoring case.
  const std::vector<NameRow>& rows = FModel->Rows();
  const int size = FModel->Size();
  for (bool exact : {true, false}) {
    for (int step = 1; step <= size; ++step) {
      const int row = step % size;
      const std::string& text = rows[static_cast<size_t>(row)].text;
      if (exact ? text == name : SameTextIgnoringCase(text, name)) return row;
    }
  }
  return -1;
}

void TFileListBox::SelectFileByName(const std::string& name) {
  if (SameName(name, SelectedFileName())) return;
  HandleNeeded();
  SetItemIndex(RowOfName(name));
  NotifyChange();
}

// ---- Folder changes and reading ----

bool TFileListBox::SameName(const std::string& a, const std::string& b) const {
  // Folder names differing only in case are one folder only where the file system holding
  // the shown folder compares names without case; elsewhere they are two folders.
  if (a == b) return true;
  if (a.empty() || b.empty()) return false;
  CaseRules rules;
  if (fs_.CaseRulesOf(b, rules) != 0 || rules.case_sensitive) return false;
  return SameTextIgnoringCase(a, b);
}

void TFileListBox::ChangeFolder(const std::string& folder) {
  if (SameName(folder, FDirectory)) return;
  // A relative folder is taken from the list's present folder.
  if (IsExistingFolder(fs_, FDirectory)) ChangeCurrentFolder(fs_, FDirectory);
  ChangeCurrentFolder(fs_, folder);
  FDirectory = CurrentFolderOf(fs_);
  ReloadFiles();
}

NameRow TFileListBox::RowFor(const std::string& name, int32_t attributes) const {
  NameRow row;
  if (attributes & kAttrDirectory) {
    row.text = "[" + name + "]";
    row.glyph = FShowGlyphs ? FolderGlyph::kClosedFolder : FolderGlyph::kNone;
  } else {
    row.text = name;
    row.glyph = IsExecutableName(name) ? FolderGlyph::kExecutable : FolderGlyph::kUnknownFile;
  }
  row.display = DisplayName(row.text);
  return row;
}

std::vector<NameRow> TFileListBox::ReadEntries(int32_t attributes) {
  BusyCursorScope busy;
  const bool every_entry = FFileType.Contains(TFileAttr::ftNormal);
  std::vector<NameRow> rows;
  for (const std::string& part : MaskPatterns(FMask)) {
    TSearchRec rec;
    if (SearchFirst(fs_, part, attributes, rec) != 0) continue;
    do {
      if (every_entry || (rec.EntryAttributes & attributes) != 0) {
        rows.push_back(RowFor(rec.EntryName, rec.EntryAttributes));
        if (rows.size() > kBusyCursorItems) busy.Engage();
      }
    } while (SearchNext(rec) == 0);
    SearchClose(rec);
  }
  NameCollation().SortKeepingEqual(rows);
  return rows;
}

void TFileListBox::ReloadFiles() {
  if (!FHandle.Created()) return;
  const int32_t attributes = FFileType.AttributeWord();
  ChangeCurrentFolder(fs_, FDirectory);
  FModel->SetRows({});
  FModel->SetRows(ReadEntries(attributes));
  NotifyChange();
}

void TFileListBox::NotifyChange() {
  FLastSelected = ItemIndex();
  if (FFileEdit) {
    const std::string name = SelectedFileName();
    FFileEdit->setText(DisplayName(name.empty() ? FMask : name));
    FFileEdit->selectAll();
  }
  emit OnChange(this);
}

void TFileListBox::ApplyPathText(const std::string& text) {
  if (text.empty() || SameName(text, SelectedFilePath())) return;
  const SplitPath split = SplitPathText(fs_, text);
  if (FLinkedDirList)
    FLinkedDirList->SetDirectory(text);
  else if (split.drive != '\0')
    ChangeFolder(std::string(1, split.drive) + ":" + split.folder);
  else
    ChangeFolder(split.folder);

  if (HasWildcards(split.file)) {
    SetMask(split.file);
  } else if (!split.file.empty()) {
    SelectFileByName(split.file);
    // The file is looked for in the list's folder, not wherever the process's current
    // folder happens to be.
    if (!IsExistingFile(fs_, JoinFolderAndName(FDirectory, split.file)))
      throw EInvalidOperation("Invalid file name - " + text);
    if (SelectedFileName().empty()) {
      SetMask(split.file);
      SelectFileByName(split.file);
    }
  }
}

// ---- User input ----

template <typename BaseHandler>
void TFileListBox::TrackUserSelection(BaseHandler&& base) {
  FSelectionTouched = false;
  base();
  if (!FSelectionTouched) return;
  FSelectionTouched = false;
  FItemPressPending = false;
  Click();
}

void TFileListBox::Click() {
  emit OnClick(this);
  if (ItemIndex() != FLastSelected) NotifyChange();
}

void TFileListBox::mousePressEvent(QMouseEvent* event) {
  FItemPressPending =
      event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid();
  TrackUserSelection([&] { QListView::mousePressEvent(event); });
}

void TFileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a click of its own.
  FItemPressPending =
      event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid();
  TrackUserSelection([&] { QListView::mouseDoubleClickEvent(event); });
}

void TFileListBox::mouseReleaseEvent(QMouseEvent* event) {
  TrackUserSelection([&] { QListView::mouseReleaseEvent(event); });
  if (event->button() != Qt::LeftButton || !FItemPressPending) return;
  FItemPressPending = false;
  Click();
}

void TFileListBox::mouseMoveEvent(QMouseEvent* event) {
  TrackUserSelection([&] { QListView::mouseMoveEvent(event); });
}

void TFileListBox::keyPressEvent(QKeyEvent* event) {
  TrackUserSelection([&] { QListView::keyPressEvent(event); });
}

}  // namespace foliotally
