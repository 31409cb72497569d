// TDirectoryListBox: where the current folder lies and what lies under it. One row for each
// level of the folder's path, from the root down to the folder itself, then one row for
// each subfolder. Double-clicking a row or pressing Enter on it enters that folder. A linked
// file list follows every change of folder, a linked label shows the folder's path, and a
// linked drive selector follows when the folder moves to another volume.
//
// On this system a mounted volume plays the part of a drive: Drive() is the root path of
// the volume holding Directory, and assigning a volume's root enters the folder last
// entered on that volume, else its root.
#pragma once

#include <QLabel>
#include <QListView>
#include <QPointer>
#include <string>

#include "folder_browser/control_rows.h"
#include "folder_browser/folder_glyphs.h"
#include "folder_browser/name_rows_model.h"
#include "folder_browser/volume_memory.h"
#include "platform/file_system.h"

namespace foliotally {

class GlyphRowDelegate;
class TFileListBox;

// What a directory list asks of the drive selector linked to it. The selector moves to the
// volume and, unless it shows that volume already, assigns it back to the directory list's
// SetDrive.
class DriveSelectorLink {
 public:
  virtual void SetDrive(const std::string& root) = 0;

 protected:
  ~DriveSelectorLink() = default;
};

class TDirectoryListBox : public QListView {
  Q_OBJECT

 public:
  // What a row stands for, by its glyph.
  enum class RowKind { kLevelAbove, kCurrent, kSubfolder };

  // Directory starts at the process's current folder; the rows are built when the list is
  // first shown or its rows are first asked for.
  TDirectoryListBox(FileSystem& fs, QWidget* parent = nullptr);
  ~TDirectoryListBox() override;

  std::string Directory() const { return FDirectory; }
  // Accepts a folder or a path to a file (the file's folder is entered). Same as
  // ApplyPathText.
  void SetDirectory(const std::string& text) { ApplyPathText(text); }

  // The root of the mounted volume holding Directory; empty when no listed volume holds it.
  std::string Drive() const;
  // Enters the folder last entered on the volume at `root` (else the root itself), then
  // rebuilds the rows and runs the change step. Nothing when it is the volume shown. An
  // empty root enters nothing and only rebuilds.
  void SetDrive(const std::string& root);

  TFileListBox* FileList() const;
  void SetFileList(TFileListBox* list);
  QLabel* DirLabel() const;
  // The label shows Directory shortened to fit: the width of this list while the label
  // sizes itself to its text (the default), else the label's own width.
  void SetDirLabel(QLabel* label);
  void SetDirLabelSizesToText(bool sizes_to_text);

  // Set and cleared by the drive selector whose directory list this is. `link` is used only
  // while `box` lives.
  void SetLinkedDriveBox(QWidget* box, DriveSelectorLink* link);
  QWidget* LinkedDriveBox() const;

  // Row queries. The first one builds the rows if the list has not done so yet.
  int Count();
  std::string Items(int index);  // EStringListError outside the list
  RowKind Kind(int index);       // EListError outside the list
  int ItemIndex();
  void SetItemIndex(int index);
  int CurrentRow() const { return FCurrentRow; }

  // The folder that row `index` stands for; empty outside the list.
  std::string ItemPath(int index);
  // Enters the folder of the selected row.
  void OpenSelectedItem();
  // Enters `folder` (relative to Directory when relative), rebuilds the rows and runs the
  // change step, also when it is the folder shown already.
  void ChangeToFolder(const std::string& folder);
  void RebuildLevels();
  // The linked file list follows, the label is updated, OnChange fires.
  void NotifyChange();
  void ApplyPathText(const std::string& text);

  // The case rules of the file system holding Directory, as the last RebuildLevels found.
  bool PreservesCase() const { return FPreservesCase; }
  bool CaseSensitiveNames() const { return FCaseSensitiveNames; }
  bool InDriveChange() const { return FInDriveChange; }

  int ItemHeight() const;
  void SetItemHeight(int height);

 signals:
  void OnChange(QObject* sender);
  void OnDblClick(QObject* sender);

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void HandleNeeded() { FHandle.Need(); }
  void FitItemHeight();
  void ReadCaseRules();
  void EnterFolder(const std::string& folder);
  bool SameFolderName(const std::string& a, const std::string& b) const;
  QString DisplayText(const std::string& text) const;
  void UpdateDirLabel();
  DriveSelectorLink* DriveLink() const;
  // The root of the listed volume holding `path` (empty when none does), from the volume
  // table of the operation under way when there is one.
  std::string RootOf(const std::string& path) const;
  class VolumeTableScope;
  const NameRow& RowAt(int index) const;

  FileSystem& fs_;
  std::string FDirectory;
  QPointer<TFileListBox> FFileList;
  QPointer<QLabel> FDirLabel;
  bool FDirLabelSizesToText = true;
  QPointer<QWidget> FLinkedDriveBox;
  DriveSelectorLink* FDriveLink = nullptr;
  bool FInDriveChange = false;
  bool FPreservesCase = true;
  bool FCaseSensitiveNames = true;
  LazyHandle FHandle{[this] { RebuildLevels(); }};
  int FCurrentRow = -1;
  int FItemHeight = 0;
  VolumeFolderMemory FVolumeFolders;
  // The volume table read once for the folder change under way; null between changes.
  const std::vector<Volume>* FVolumeTable = nullptr;
  FolderGlyphSet FGlyphs;
  NameRowsModel* FModel = nullptr;
  GlyphRowDelegate* FDelegate = nullptr;
};

}  // namespace foliotally
