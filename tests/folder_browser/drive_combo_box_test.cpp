#include "folder_browser/drive_combo_box.h"

#include <errno.h>
#include <gtest/gtest.h>

#include <QFont>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "errors/errors.h"
#include "folder_browser/file_list_box.h"
#include "folder_widget_fixture.h"
#include "platform/posix_file_system.h"

namespace foliotally {
namespace {

using test::FsCall;
using Names = std::vector<std::string>;

Volume MakeVolume(const std::string& root, VolumeKind kind, const std::string& label,
                  const std::string& source = "/dev/sdx") {
  Volume volume;
  volume.root = root;
  volume.kind = kind;
  volume.label = label;
  volume.source = source;
  return volume;
}

// A machine with an empty card reader, a fixed disk labelled Win, an optical drive
// without a disc and a network share, each volume a folder of the temporary tree. The
// table lists them out of order; the folders are capitalised to show that a root path is
// never re-cased.
class DriveComboBoxTest : public test::FolderWidgetTest {
 protected:
  void SetUp() override {
    FolderWidgetTest::SetUp();
    dir_.MakeFolder("A");
    dir_.MakeFolder("C/docs/deep");
    dir_.MakeFolder("D");
    dir_.MakeFolder("N/reports");
    Touch("C/docs/c.pdf");
    Touch("N/n.pdf");
    fs_.SetVolumes({MakeVolume(At("N"), VolumeKind::kNetwork, "", "//srv/Share"),
                    MakeVolume(At("C"), VolumeKind::kFixed, "Win"),
                    MakeVolume(At("A"), VolumeKind::kRemovable, ""),
                    MakeVolume(At("D"), VolumeKind::kOptical, "")});
    std::filesystem::current_path(At("C/docs"));
  }

  // The browser as the main window wires it: selector -> directory list -> file list.
  void Wire() {
    dirs_ = std::make_unique<TDirectoryListBox>(fs_);
    files_ = std::make_unique<TFileListBox>(fs_);
    box_ = std::make_unique<TDriveComboBox>(fs_);
    dirs_->SetFileList(files_.get());
    box_->SetDirList(dirs_.get());
  }

  int RowOf(const std::string& root) {
    for (int i = 0; i < box_->Count(); ++i)
      if (box_->RootOf(i) == root) return i;
    return -1;
  }

  std::unique_ptr<TDirectoryListBox> dirs_;
  std::unique_ptr<TFileListBox> files_;
  std::unique_ptr<TDriveComboBox> box_;
};

TEST_F(DriveComboBoxTest, RowsAreSortedByRootWithTheirTextAndGlyphAndTouchNothing) {
  Wire();
  box_->SetTextCase(TTextCase::tcUpperCase);
  const int calls_before = fs_.CallCount(FsCall::kStat) + fs_.CallCount(FsCall::kOpenDirectory) +
                           fs_.CallCount(FsCall::kChangeDirectory);
  box_->RebuildDriveList();
  EXPECT_EQ(fs_.CallCount(FsCall::kStat) + fs_.CallCount(FsCall::kOpenDirectory) +
                fs_.CallCount(FsCall::kChangeDirectory),
            calls_before);

  EXPECT_EQ((Names{At("A"), At("C") + " [WIN]", At("D") + " []", At("N") + " //SRV/SHARE"}),
            ItemsOf(*box_));
  EXPECT_EQ(box_->KindOf(0), VolumeKind::kRemovable);
  EXPECT_EQ(box_->KindOf(1), VolumeKind::kFixed);
  EXPECT_EQ(box_->KindOf(2), VolumeKind::kOptical);
  EXPECT_EQ(box_->KindOf(3), VolumeKind::kNetwork);
  // Each kind has its own glyph, on the row for the closed box and the drop-down alike.
  const QImage fixed = box_->itemIcon(1).pixmap(16, 11).toImage();
  EXPECT_EQ(fixed.size(), QSize(16, 11));
  EXPECT_NE(fixed, box_->itemIcon(0).pixmap(16, 11).toImage());
  EXPECT_NE(fixed, box_->itemIcon(2).pixmap(16, 11).toImage());
  EXPECT_NE(fixed, box_->itemIcon(3).pixmap(16, 11).toImage());

  // Back to lower case: every label and source follows, the same volume stays selected.
  box_->SetDrive(At("D"));
  box_->SetTextCase(TTextCase::tcLowerCase);
  EXPECT_EQ((Names{At("A"), At("C") + " [win]", At("D") + " []", At("N") + " //srv/share"}),
            ItemsOf(*box_));
  EXPECT_EQ(box_->ItemIndex(), 2);
  EXPECT_EQ(box_->Drive(), At("D"));

  EXPECT_THROW(box_->Items(4), EStringListError);
  EXPECT_THROW(box_->RootOf(-1), EStringListError);
  EXPECT_THROW(box_->KindOf(4), EListError);
}

TEST_F(DriveComboBoxTest, FirstListingSelectsTheCurrentVolumeAndFiresOnChange) {
  Wire();
  QSignalSpy changes(box_.get(), &TDriveComboBox::OnChange);
  EXPECT_EQ(box_->Drive(), At("C"));
  EXPECT_EQ(box_->ItemIndex(), -1);  // nothing listed before the window exists
  box_->show();
  EXPECT_EQ(box_->Count(), 4);
  EXPECT_EQ(box_->ItemIndex(), 1);
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(dirs_->Directory(), At("C/docs"));
  EXPECT_EQ(dirs_->LinkedDriveBox(), box_.get());
}

TEST_F(DriveComboBoxTest, SelectionFollowsTheDirectoryList) {
  Wire();
  box_->show();
  QSignalSpy changes(box_.get(), &TDriveComboBox::OnChange);
  dirs_->SetDirectory(At("N/reports"));
  EXPECT_EQ(box_->Drive(), At("N"));
  EXPECT_EQ(box_->ItemIndex(), 3);
  EXPECT_EQ(dirs_->Directory(), At("N/reports"));
  EXPECT_EQ(files_->Directory(), At("N/reports"));
  EXPECT_EQ(changes.count(), 1);

  // Within one volume the selector stays as it is.
  dirs_->SetDirectory(At("N"));
  EXPECT_EQ(changes.count(), 1);

  // A folder on no listed volume: no row, no drive.
  dir_.MakeFolder("elsewhere");
  dirs_->SetDirectory(At("elsewhere"));
  EXPECT_EQ(box_->ItemIndex(), -1);
  EXPECT_EQ(box_->Drive(), "");
  EXPECT_EQ(dirs_->Directory(), At("elsewhere"));

  // And back onto a listed volume.
  dirs_->SetDirectory(At("C/docs/deep"));
  EXPECT_EQ(box_->ItemIndex(), 1);
  EXPECT_EQ(box_->Drive(), At("C"));
}

TEST_F(DriveComboBoxTest, PickingTheSelectedRowFiresOnChangeOnceAndMovesNothing) {
  Wire();
  box_->show();
  dirs_->SetDirectory(At("C/docs/deep"));
  QSignalSpy changes(box_.get(), &TDriveComboBox::OnChange);
  QSignalSpy clicks(box_.get(), &TDriveComboBox::OnClick);
  QSignalSpy list_changes(dirs_.get(), &TDirectoryListBox::OnChange);
  box_->PickRow(1);
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(list_changes.count(), 0);
  EXPECT_EQ(dirs_->Directory(), At("C/docs/deep"));
}

TEST_F(DriveComboBoxTest, PickingAnotherVolumeMovesTheListsAndReturnsToTheLastFolder) {
  Wire();
  box_->show();
  dirs_->SetDirectory(At("C/docs"));
  files_->show();
  QSignalSpy changes(box_.get(), &TDriveComboBox::OnChange);

  box_->PickRow(RowOf(At("N")));
  EXPECT_EQ(box_->Drive(), At("N"));
  EXPECT_EQ(dirs_->Directory(), At("N"));  // first visit: the root
  EXPECT_EQ(files_->Directory(), At("N"));
  EXPECT_EQ(ItemsOf(*files_), (Names{"n.pdf"}));
  // One from the assignment, one from the selection step.
  EXPECT_EQ(changes.count(), 2);

  box_->PickRow(RowOf(At("C")));
  EXPECT_EQ(dirs_->Directory(), At("C/docs"));
  EXPECT_EQ(files_->Directory(), At("C/docs"));
  EXPECT_EQ(ItemsOf(*files_), (Names{"c.pdf"}));
}

TEST_F(DriveComboBoxTest, VolumeThatIsNotReadyRaisesAndTheListsKeepTheirFolder) {
  Wire();
  box_->show();
  files_->show();
  fs_.FailCall(FsCall::kChangeDirectory, At("A"), ENOMEDIUM);
  QSignalSpy changes(box_.get(), &TDriveComboBox::OnChange);
  QSignalSpy list_changes(dirs_.get(), &TDirectoryListBox::OnChange);
  try {
    box_->PickRow(RowOf(At("A")));
    FAIL() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.ErrorCode, 21);
    EXPECT_EQ(error.Message(), "I/O error 21");
  }
  EXPECT_EQ(box_->Drive(), At("A"));
  EXPECT_EQ(box_->ItemIndex(), 0);
  EXPECT_EQ(dirs_->Directory(), At("C/docs"));
  EXPECT_EQ(files_->Directory(), At("C/docs"));
  EXPECT_EQ(changes.count(), 0);
  EXPECT_EQ(list_changes.count(), 0);

  // Once the medium is in, picking the row again enters it.
  fs_.ClearFailures();
  box_->PickRow(0);
  EXPECT_EQ(dirs_->Directory(), At("A"));
}

TEST_F(DriveComboBoxTest, ChoosingARowInTheDropDownPicksIt) {
  Wire();
  box_->show();
  QSignalSpy clicks(box_.get(), &TDriveComboBox::OnClick);
  box_->showPopup();
  QAbstractItemView* view = box_->view();
  const QRect row = view->visualRect(view->model()->index(RowOf(At("N")), 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(dirs_->Directory(), At("N"));
}

TEST_F(DriveComboBoxTest, OpeningTheDropDownListsNewVolumesKeepingTheSelection) {
  Wire();
  box_->show();
  QSignalSpy changes(box_.get(), &TDriveComboBox::OnChange);
  dir_.MakeFolder("R");
  auto volumes = fs_.Volumes();
  volumes.push_back(MakeVolume(At("R"), VolumeKind::kRam, "", "tmpfs"));
  fs_.SetVolumes(volumes);
  box_->showPopup();
  box_->hidePopup();
  EXPECT_EQ(box_->Count(), 5);
  EXPECT_EQ(box_->Items(4), At("R") + " []");
  EXPECT_EQ(box_->KindOf(4), VolumeKind::kRam);
  EXPECT_EQ(box_->ItemIndex(), 1);
  EXPECT_EQ(changes.count(), 0);
}

TEST_F(DriveComboBoxTest, LinksAreSetAndClearedBothWays) {
  Wire();
  TDirectoryListBox other(fs_);
  box_->SetDirList(&other);
  EXPECT_EQ(dirs_->LinkedDriveBox(), nullptr);
  EXPECT_EQ(other.LinkedDriveBox(), box_.get());

  // The directory list goes: the selector forgets it and picking still works.
  auto short_lived = std::make_unique<TDirectoryListBox>(fs_);
  box_->SetDirList(short_lived.get());
  short_lived.reset();
  EXPECT_EQ(box_->DirList(), nullptr);
  box_->PickRow(RowOf(At("N")));
  EXPECT_EQ(box_->Drive(), At("N"));

  // The selector goes: the directory list no longer calls it.
  box_->SetDirList(dirs_.get());
  box_.reset();
  EXPECT_EQ(dirs_->LinkedDriveBox(), nullptr);
  dirs_->SetDirectory(At("N"));
  EXPECT_EQ(dirs_->Directory(), At("N"));
}

TEST_F(DriveComboBoxTest, RowHeightFitsTheFontButNeverTheGlyphLess) {
  Wire();
  QFont tiny = box_->font();
  tiny.setPixelSize(4);
  box_->setFont(tiny);
  EXPECT_EQ(box_->ItemHeight(), 11);
  QFont big = box_->font();
  big.setPixelSize(30);
  box_->setFont(big);
  EXPECT_EQ(box_->ItemHeight(), QFontMetrics(big).height());
}

// The machine's own volume table, plus one volume in a temporary folder to start from: the
// system root is listed first and choosing it moves the directory list onto it.
TEST_F(DriveComboBoxTest, ListsThisMachinesRootVolumeAndEntersIt) {
  std::vector<Volume> volumes = PosixFileSystem().Volumes();
  volumes.push_back(MakeVolume(At("C"), VolumeKind::kFixed, "Win"));
  fs_.SetVolumes(volumes);
  Wire();
  box_->show();
  ASSERT_GE(box_->Count(), 2);
  EXPECT_EQ(box_->RootOf(0), "/");
  EXPECT_EQ(box_->Items(0).rfind("/ ", 0), 0u);
  EXPECT_EQ(box_->Drive(), At("C"));

  box_->PickRow(0);
  EXPECT_EQ(box_->Drive(), "/");
  EXPECT_EQ(box_->ItemIndex(), 0);
  EXPECT_EQ(dirs_->Drive(), "/");
  EXPECT_EQ(dirs_->Directory(), "/");
  EXPECT_EQ(files_->Directory(), "/");
}

}  // namespace
}  // namespace foliotally
