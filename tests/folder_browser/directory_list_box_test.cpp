#include "folder_browser/directory_list_box.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "errors/errors.h"
#include "folder_browser/current_folder.h"
#include "folder_browser/file_list_box.h"
#include "folder_widget_fixture.h"

namespace foliotally {
namespace {

using test::FsCall;
using Names = std::vector<std::string>;
using Kind = TDirectoryListBox::RowKind;

// A drive selector stand-in: records each volume it is moved to and, like the real one,
// passes a new volume on to the directory list.
class RecordingDriveBox : public QWidget, public DriveSelectorLink {
 public:
  explicit RecordingDriveBox(TDirectoryListBox& list) : list_(list) {
    list.SetLinkedDriveBox(this, this);
  }
  void SetDrive(const std::string& root) override {
    roots.push_back(root);
    if (root != shown_) {
      shown_ = root;
      list_.SetDrive(root);
    }
  }
  std::vector<std::string> roots;

 private:
  TDirectoryListBox& list_;
  std::string shown_;
};

class DirectoryListBoxTest : public test::FolderWidgetTest {
 protected:
  // The rows from the root down to `root_`: "/" and each name of its path.
  Names LevelsToRoot() const {
    Names levels{"/"};
    std::string rest = root_.substr(1);
    for (size_t end; (end = rest.find('/')) != std::string::npos; rest.erase(0, end + 1))
      levels.push_back(rest.substr(0, end));
    levels.push_back(rest);
    return levels;
  }
  static Names Tail(const Names& names, size_t from) {
    return Names(names.begin() + static_cast<long>(from), names.end());
  }
};

TEST_F(DirectoryListBoxTest, RowsShowTheLevelsThenTheSubfoldersInOrder) {
  for (const char* name : {"a/b/b", "a/b/A", "a/b/.cache", "a/b/hidden", "a/b/system"})
    dir_.MakeFolder(name);
  Touch("a/b/file.pdf");
  fs_.MarkHidden(At("a/b/hidden"));
  fs_.MarkSystem(At("a/b/system"));
  TDirectoryListBox list(fs_);
  list.SetDirectory(At("a/b"));

  Names expected = LevelsToRoot();
  const size_t current = expected.size() + 1;
  expected.insert(expected.end(), {"a", "b", ".cache", "A", "b"});
  EXPECT_EQ(ItemsOf(list), expected);
  EXPECT_EQ(list.CurrentRow(), static_cast<int>(current));
  EXPECT_EQ(list.ItemIndex(), list.CurrentRow());
  EXPECT_EQ(list.Kind(0), Kind::kLevelAbove);
  EXPECT_EQ(list.Kind(static_cast<int>(current) - 1), Kind::kLevelAbove);
  EXPECT_EQ(list.Kind(static_cast<int>(current)), Kind::kCurrent);
  EXPECT_EQ(list.Kind(static_cast<int>(current) + 1), Kind::kSubfolder);
  EXPECT_THROW(list.Items(list.Count()), EStringListError);
  EXPECT_THROW(list.Kind(-1), EListError);

  // Each row's folder.
  EXPECT_EQ(list.ItemPath(0), "/");
  EXPECT_EQ(list.ItemPath(static_cast<int>(current) - 1), At("a"));
  EXPECT_EQ(list.ItemPath(static_cast<int>(current)), At("a/b"));
  EXPECT_EQ(list.ItemPath(static_cast<int>(current) + 1), At("a/b/.cache"));
  EXPECT_EQ(list.ItemPath(list.Count()), "");
  EXPECT_EQ(list.ItemPath(-1), "");
}

TEST_F(DirectoryListBoxTest, SubfoldersEqualIgnoringCaseAreListedOnce) {
  dir_.MakeFolder("Sub");
  dir_.MakeFolder("sub");
  dir_.MakeFolder("z");
  TDirectoryListBox list(fs_);
  const Names rows = ItemsOf(list);
  EXPECT_EQ(Tail(rows, LevelsToRoot().size()).size(), 2u);
  EXPECT_EQ(rows.back(), "z");
}

TEST_F(DirectoryListBoxTest, TheRootItself) {
  std::filesystem::current_path("/");
  TDirectoryListBox list(fs_);
  list.show();
  ASSERT_GE(list.Count(), 1);
  EXPECT_EQ(list.Items(0), "/");
  EXPECT_EQ(list.Kind(0), Kind::kCurrent);
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_EQ(list.ItemPath(0), "/");
}

TEST_F(DirectoryListBoxTest, EnteringRowsByDoubleClickAndEnter) {
  dir_.MakeFolder("a/b");
  TDirectoryListBox list(fs_);
  list.SetDirectory(At("a/b"));
  list.resize(300, 400);
  list.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  QSignalSpy changes(&list, &TDirectoryListBox::OnChange);

  // Enter on the current row changes nothing.
  QTest::keyClick(&list, Qt::Key_Return);
  list.OpenSelectedItem();
  EXPECT_EQ(changes.count(), 0);
  EXPECT_EQ(list.Directory(), At("a/b"));

  // Enter on the row above enters it.
  list.SetItemIndex(list.CurrentRow() - 1);
  QTest::keyClick(&list, Qt::Key_Return);
  EXPECT_EQ(list.Directory(), At("a"));
  EXPECT_EQ(changes.count(), 1);

  // Double-clicking the root row enters the root.
  const QPoint root_row = list.visualRect(list.model()->index(0, 0)).center();
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, root_row);
  EXPECT_EQ(list.Directory(), "/");
  EXPECT_EQ(list.Items(0), "/");
  EXPECT_EQ(list.Kind(0), Kind::kCurrent);
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_EQ(changes.count(), 2);
}

TEST_F(DirectoryListBoxTest, AFilePathEntersTheFilesFolder) {
  Touch("scans/a.pdf");
  TDirectoryListBox list(fs_);
  list.SetDirectory(At("scans/a.pdf"));
  EXPECT_EQ(list.Directory(), At("scans"));
  EXPECT_EQ(list.Items(list.CurrentRow()), "scans");
}

TEST_F(DirectoryListBoxTest, MissingFolderRaisesAndChangesNothing) {
  dir_.MakeFolder("docs/sub");
  TDirectoryListBox list(fs_);
  TFileListBox files(fs_);
  list.SetFileList(&files);
  list.SetDirectory(At("docs"));
  const Names rows = ItemsOf(list);
  QSignalSpy changes(&list, &TDirectoryListBox::OnChange);
  try {
    list.SetDirectory(At("docs/missing"));
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "File not found");
  }
  EXPECT_EQ(list.Directory(), At("docs"));
  EXPECT_EQ(ItemsOf(list), rows);
  EXPECT_EQ(files.Directory(), At("docs"));
  EXPECT_EQ(changes.count(), 0);

  // A folder that exists but cannot be entered.
  fs_.FailCall(FsCall::kChangeDirectory, At("docs/sub"), EACCES);
  EXPECT_THROW(list.SetDirectory(At("docs/sub")), EInOutError);
  EXPECT_EQ(list.Directory(), At("docs"));
  EXPECT_EQ(ItemsOf(list), rows);
}

TEST_F(DirectoryListBoxTest, ChangeFiresAndTheFileListFollowsOnlyWhenMoved) {
  dir_.MakeFolder("docs");
  Touch("docs/a.pdf");
  TDirectoryListBox list(fs_);
  TFileListBox files(fs_);
  files.SetMask("*.pdf");
  list.SetFileList(&files);
  EXPECT_EQ(files.LinkedDirList(), &list);
  QSignalSpy changes(&list, &TDirectoryListBox::OnChange);
  QSignalSpy file_changes(&files, &TFileListBox::OnChange);

  list.SetDirectory(At("docs"));
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(files.Directory(), At("docs"));
  EXPECT_EQ(ItemsOf(files), (Names{"a.pdf"}));
  const int file_changes_after_move = file_changes.count();

  // The same folder: nothing at all.
  Touch("docs/b.pdf");
  list.SetDirectory(At("docs"));
  EXPECT_EQ(changes.count(), 1);
  // With a trailing delimiter the rows are rebuilt and OnChange fires, but the file list
  // stays as it is.
  list.SetDirectory(At("docs/"));
  EXPECT_EQ(changes.count(), 2);
  EXPECT_EQ(file_changes.count(), file_changes_after_move);
  EXPECT_EQ(files.Count(), 1);

  // A folder assigned to the file list goes through the directory list.
  files.SetDirectory(root_);
  EXPECT_EQ(list.Directory(), root_);
  EXPECT_EQ(changes.count(), 3);
  EXPECT_EQ(files.Directory(), root_);

  // A file's path assigned to the file list: both move to its folder, the file is chosen.
  files.SetDirectory(At("docs/b.pdf"));
  EXPECT_EQ(list.Directory(), At("docs"));
  EXPECT_EQ(files.Directory(), At("docs"));
  EXPECT_EQ(files.SelectedFileName(), "b.pdf");
  EXPECT_EQ(ItemsOf(files), (Names{"a.pdf", "b.pdf"}));

  // Links are cleared when the other side goes.
  auto doomed = std::make_unique<TFileListBox>(fs_);
  list.SetFileList(doomed.get());
  EXPECT_EQ(files.LinkedDirList(), nullptr);
  doomed.reset();
  EXPECT_EQ(list.FileList(), nullptr);
  list.SetDirectory(At("docs"));  // no linked list to move, no crash
  EXPECT_EQ(list.Directory(), At("docs"));
}

TEST_F(DirectoryListBoxTest, CaseBlindVolumeShowsLowerCaseAndIgnoresCase) {
  dir_.MakeFolder("Docs/Sub");
  fs_.SetCaseRules(CaseRules{.preserves_case = false, .case_sensitive = false});
  TDirectoryListBox list(fs_);
  list.SetDirectory(At("Docs"));
  EXPECT_FALSE(list.CaseSensitiveNames());
  EXPECT_FALSE(list.PreservesCase());
  EXPECT_EQ(list.Items(list.CurrentRow()), "Docs");  // the text keeps its case...
  EXPECT_EQ(list.model()->index(list.CurrentRow(), 0).data().toString(), "docs");  // ...shown
  QSignalSpy changes(&list, &TDirectoryListBox::OnChange);
  list.SetDirectory(At("DOCS"));
  EXPECT_EQ(changes.count(), 0);

  fs_.SetCaseRules(CaseRules{});
  list.RebuildLevels();
  EXPECT_EQ(list.model()->index(list.CurrentRow(), 0).data().toString(), "Docs");
}

TEST_F(DirectoryListBoxTest, LabelShowsTheFolderShortenedToFit) {
  dir_.MakeFolder("a_rather_long_folder_name/and_another_long_one");
  TDirectoryListBox list(fs_);
  QLabel label;
  list.resize(60, 200);
  list.SetDirLabel(&label);
  list.SetDirectory(At("a_rather_long_folder_name/and_another_long_one"));
  const std::string caption = label.text().toStdString();
  EXPECT_TRUE(caption.ends_with("and_another_long_one")) << caption;
  EXPECT_LT(caption.size(), list.Directory().size());

  list.show();
  list.resize(4000, 200);
  EXPECT_EQ(label.text().toStdString(), list.Directory());

  // A label that does not size itself gets its own width.
  list.SetDirLabelSizesToText(false);
  label.resize(1, 20);
  list.SetDirectory(At("a_rather_long_folder_name"));
  EXPECT_EQ(label.text().toStdString(), "a_rather_long_folder_name");
}

TEST_F(DirectoryListBoxTest, VolumesPlayTheDrives) {
  dir_.MakeFolder("vol/docs/deep");
  dir_.MakeFolder("home");
  std::vector<Volume> volumes(2);
  volumes[0].root = "/";
  volumes[1].root = At("vol");
  fs_.SetVolumes(volumes);
  TDirectoryListBox list(fs_);
  RecordingDriveBox box(list);
  list.SetDirectory(At("home"));
  EXPECT_EQ(list.Drive(), "/");

  // Moving onto another volume moves the drive selector first.
  list.SetDirectory(At("vol/docs/deep"));
  EXPECT_EQ(list.Drive(), At("vol"));
  EXPECT_EQ(list.Directory(), At("vol/docs/deep"));
  EXPECT_EQ(box.roots, (Names{At("vol")}));
  EXPECT_FALSE(list.InDriveChange());

  // Choosing a volume enters the folder last entered on it.
  list.SetDirectory(At("home"));
  QSignalSpy changes(&list, &TDirectoryListBox::OnChange);
  list.SetDrive(At("vol"));
  EXPECT_EQ(list.Directory(), At("vol/docs/deep"));
  EXPECT_EQ(changes.count(), 1);
  list.SetDrive(At("vol"));  // the volume shown: nothing
  EXPECT_EQ(changes.count(), 1);

  // A remembered folder that went away gives the volume's root.
  list.SetDirectory(At("home"));
  std::filesystem::remove(At("vol/docs/deep"));
  list.SetDrive(At("vol"));
  EXPECT_EQ(list.Directory(), At("vol"));
}

}  // namespace
}  // namespace foliotally
