// TDriveComboBox: a drop-down list of the machine's volumes, the Linux counterpart of
// drives. Each row shows a glyph for the kind of volume, the volume's root path and its
// label (or, for a network volume, what it is connected to). Picking a row moves the linked
// directory list, and through it the file list, to the folder last entered on that volume
// (its root the first time); when the directory list moves to a folder on another volume
// by itself, the selector follows.
//
// Drive is the root path of the selected volume, empty when no row is selected (the
// directory list's folder lies on no listed volume).
#pragma once

#include <QComboBox>
#include <QPointer>
#include <string>

#include "folder_browser/control_rows.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/drive_glyphs.h"
#include "folder_browser/drive_rows.h"
#include "platform/file_system.h"

namespace foliotally {

class DriveRowDelegate;

class TDriveComboBox : public QComboBox, public DriveSelectorLink {
  Q_OBJECT

 public:
  // Drive starts at the volume holding the process's current folder. The rows are listed
  // when the selector is first shown or its rows are first asked for.
  explicit TDriveComboBox(FileSystem& fs, QWidget* parent = nullptr);
  ~TDriveComboBox() override;

  std::string Drive() const { return FDrive; }
  // Selects the volume's row and moves the linked directory list to that volume, then fires
  // OnChange. Nothing when a row is selected, it is the volume shown and the linked
  // directory list is on it (or there is none). Empty selects no
  // row. A volume that cannot be entered raises EInOutError; the selector then already
  // shows it, the directory list keeps its folder and OnChange is not fired.
  void SetDrive(const std::string& root) override;

  TTextCase TextCase() const { return FTextCase; }
  // Lists the volumes again in the new case; the same volume stays selected.
  void SetTextCase(TTextCase text_case);

  TDirectoryListBox* DirList() const { return FDirList.data(); }
  // Links the directory list that follows the selected volume; the list named before loses
  // its link back to this selector. Null unlinks.
  void SetDirList(TDirectoryListBox* list);

  // Lists the volumes of the file system's volume table again. Never raises; no row is
  // selected afterwards.
  void RebuildDriveList();

  // What the user picking row `index` does: OnClick, then the row's volume is assigned to
  // Drive, then OnChange. The drop-down and the keyboard come here.
  void PickRow(int index);

  // Row queries. The first one lists the volumes if the selector has not done so yet.
  int Count();
  std::string Items(int index);   // the row's text; EStringListError outside the list
  std::string RootOf(int index);  // the row's volume root; EStringListError outside
  VolumeKind KindOf(int index);   // EListError outside the list
  int ItemIndex() const { return currentIndex(); }
  int ItemHeight() const;

 signals:
  void OnChange(QObject* sender);
  void OnClick(QObject* sender);

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 public:
  // Lists the volumes again before the drop-down opens, keeping the selected volume.
  void showPopup() override;

 private:
  void HandleNeeded() { FHandle.Need(); }
  void FitItemHeight();
  void RelistKeepingDrive();
  int RowOf(const std::string& root) const;
  void CheckIndex(int index, bool list_error) const;

  FileSystem& fs_;
  std::string FDrive;
  TTextCase FTextCase = TTextCase::tcLowerCase;
  QPointer<TDirectoryListBox> FDirList;
  LazyHandle FHandle{[this] { RelistKeepingDrive(); }};
  DriveGlyphSet FGlyphs;
  DriveRowDelegate* FDelegate = nullptr;
};

}  // namespace foliotally
