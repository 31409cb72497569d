// TFileListBox: the names of the entries of one folder that match a mask, filtered by the
// kinds of entry, in alphabetical order. It keeps its folder as a full path, reads it again
// whenever the folder, the mask or the kinds change, and lets the user select one or
// several names. A directory list may drive its folder, and an edit may mirror the selected
// name.
#pragma once

#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <string>

#include "folder_browser/control_rows.h"
#include "folder_browser/file_attributes.h"
#include "folder_browser/folder_glyphs.h"
#include "folder_browser/name_rows_model.h"
#include "platform/file_system.h"

namespace foliotally {

class GlyphRowDelegate;
class TDirectoryListBox;

class TFileListBox : public QListView {
  Q_OBJECT

 public:
  // Directory starts at the process's current folder; nothing is read until the list is
  // first shown or its items are first asked for.
  TFileListBox(FileSystem& fs, QWidget* parent = nullptr);
  ~TFileListBox() override;

  // The folder whose entries are listed, a full path as the system writes it.
  std::string Directory() const { return FDirectory; }
  // Accepts a folder, a path to a file (the file's folder, the file focused) or a folder
  // with a wildcard name (that folder, the name as the mask). Same as ApplyPathText.
  void SetDirectory(const std::string& text) { ApplyPathText(text); }

  // One or more wildcard patterns separated by ";". Default "*.*".
  std::string Mask() const { return FMask; }
  void SetMask(const std::string& mask);
  TFileType FileType() const { return FFileType; }
  void SetFileType(TFileType type);
  bool ShowGlyphs() const { return FShowGlyphs; }
  void SetShowGlyphs(bool show);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool multi);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool extended);
  QLineEdit* FileEdit() const { return FFileEdit; }
  void SetFileEdit(QLineEdit* edit);
  TDirectoryListBox* LinkedDirList() const;
  // Row height in pixels; never less than the font's line height.
  int ItemHeight() const;
  void SetItemHeight(int height);

  // Item queries. The first one reads the folder if the list has not done so yet.
  int Count();
  // The item's text; EStringListError "List index out of bounds (%d)" outside the list.
  std::string Items(int index);
  // Whether the item is selected; EListError "List index out of bounds (%d)" outside.
  bool Selected(int index);
  // With MultiSelect the item that has the focus, else the selected item; -1 when none.
  int ItemIndex();
  // With MultiSelect moves the focus only; else selects the item (-1 selects none).
  void SetItemIndex(int index);

  // The focused item's text if that item is selected, else empty.
  std::string SelectedFileName();
  // Directory joined with SelectedFileName, or empty.
  std::string SelectedFilePath();
  // Focuses the item with that name (an exact match first, else one ignoring case).
  void SelectFileByName(const std::string& name);
  // Switches to `folder` and reads it, unless it is the folder shown already.
  void ChangeFolder(const std::string& folder);
  // Reads the folder again with the mask. Does nothing before the list has been shown or
  // its items asked for.
  void ReloadFiles();
  // The change step: remembers the item index, updates the linked edit, fires OnChange.
  void NotifyChange();
  void ApplyPathText(const std::string& text);

  // Called by a directory list when it names (or stops naming) this list as its file list.
  void SetLinkedDirList(TDirectoryListBox* list);

 signals:
  void OnClick(QObject* sender);
  void OnChange(QObject* sender);

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The list's "window": created when it is first shown or queried, then the folder is read.
  void HandleNeeded() { FHandle.Need(); }
  void ApplySelectionMode();
  void FitItemHeight();
  // The step run when the user changed the selection: OnClick, then NotifyChange if the
  // item index moved.
  void Click();
  template <typename BaseHandler>
  void TrackUserSelection(BaseHandler&& base);
  int RowOfName(const std::string& name) const;
  bool SameName(const std::string& a, const std::string& b) const;
  std::vector<NameRow> ReadEntries(int32_t attributes);
  NameRow RowFor(const std::string& name, int32_t attributes) const;

  FileSystem& fs_;
  std::string FDirectory;
  std::string FMask = "*.*";
  TFileType FFileType{TFileAttr::ftNormal};
  bool FShowGlyphs = false;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  int FLastSelected = -1;
  int FItemHeight = 0;  // 0: the font's line height
  QPointer<QLineEdit> FFileEdit;
  QPointer<TDirectoryListBox> FLinkedDirList;
  LazyHandle FHandle{[this] { ReloadFiles(); }};
  bool FSelectionTouched = false;  // set by the selection model while user input is handled
  // A left press on an item whose click has not been raised yet: a click that leaves the
  // selection as it was is still a click, raised when the button comes up.
  bool FItemPressPending = false;
  FolderGlyphSet FGlyphs;
  NameRowsModel* FModel = nullptr;
  GlyphRowDelegate* FDelegate = nullptr;
};

}  // namespace foliotally
