#include "folder_browser/file_list_box.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>

#include "errors/errors.h"
#include "folder_browser/current_folder.h"
#include "folder_widget_fixture.h"
#include "support/special_files.h"

namespace foliotally {
namespace {

using test::FsCall;
using Names = std::vector<std::string>;

// A file system that hands every directory entry read to an observer first: the tests use
// it to see which cursor is up while a folder is read, or to fail in the middle of a read.
class ObservedFileSystem final : public FileSystem {
 public:
  explicit ObservedFileSystem(FileSystem& inner) : inner_(inner) {}
  std::function<void()> on_entry;

  int OpenDirectory(const std::string& folder, std::unique_ptr<DirectoryStream>& stream) override {
    std::unique_ptr<DirectoryStream> inner;
    if (const int error = inner_.OpenDirectory(folder, inner); error != 0) return error;
    stream = std::make_unique<Stream>(*this, std::move(inner));
    return 0;
  }
  int Stat(const std::string& path, FileStatus& status) override {
    return inner_.Stat(path, status);
  }
  int ChangeDirectory(const std::string& path) override { return inner_.ChangeDirectory(path); }
  int CurrentDirectory(std::string& path) override { return inner_.CurrentDirectory(path); }
  int CaseRulesOf(const std::string& path, CaseRules& rules) override {
    return inner_.CaseRulesOf(path, rules);
  }
  std::vector<Volume> Volumes() override { return inner_.Volumes(); }

 private:
  class Stream final : public DirectoryStream {
   public:
    Stream(ObservedFileSystem& owner, std::unique_ptr<DirectoryStream> inner)
        : owner_(owner), inner_(std::move(inner)) {}
    bool Next(std::string& name, int& error) override {
      if (owner_.on_entry) owner_.on_entry();
      return inner_->Next(name, error);
    }
    int StatCurrent(FileStatus& status) override { return inner_->StatCurrent(status); }

   private:
    ObservedFileSystem& owner_;
    std::unique_ptr<DirectoryStream> inner_;
  };

  FileSystem& inner_;
};

Qt::CursorShape OverrideShape() {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor ? cursor->shape() : Qt::BitmapCursor;  // BitmapCursor: none set
}

class FileListBoxTest : public test::FolderWidgetTest {};

TEST_F(FileListBoxTest, ListsMatchingFilesThatAreNeitherHiddenNorSystemInOrder) {
  Touch("a.pdf");
  Touch("B.PDF");
  Touch("c.pdf");
  Touch("d.pdf");
  Touch("e.pdf");
  Touch("notes.txt");
  dir_.MakeFolder("x.pdf");
  chmod(At("d.pdf").c_str(), 0444);
  fs_.MarkHidden(At("c.pdf"));
  fs_.MarkSystem(At("e.pdf"));
  test::MakeFifo(At("fifo.pdf"));
  test::MakeSocket(At("sock.pdf"));

  TFileListBox list(fs_);
  list.SetMask("*.pdf");
  EXPECT_EQ(ItemsOf(list), (Names{"a.pdf", "B.PDF", "d.pdf"}));
  EXPECT_EQ(list.Directory(), root_);

  list.SetMask("*.pdf;*.txt");
  EXPECT_EQ(ItemsOf(list), (Names{"a.pdf", "B.PDF", "d.pdf", "notes.txt"}));
  list.SetMask("*.pdf;*.PDF");
  EXPECT_EQ(ItemsOf(list), (Names{"a.pdf", "a.pdf", "B.PDF", "B.PDF", "d.pdf", "d.pdf"}));
  list.SetMask("*");
  EXPECT_EQ(ItemsOf(list), (Names{"a.pdf", "B.PDF", "d.pdf", "notes.txt"}));
  // An empty part of the mask matches nothing and spoils nothing.
  list.SetMask("*.txt;");
  EXPECT_EQ(ItemsOf(list), (Names{"notes.txt"}));
}

TEST_F(FileListBoxTest, KindsChooseWhichEntriesAreListed) {
  Touch("a.pdf");
  Touch("h.pdf");
  dir_.MakeFolder("sub");
  fs_.MarkHidden(At("h.pdf"));
  TFileListBox list(fs_);
  list.SetMask("*");

  list.SetFileType({TFileAttr::ftNormal, TFileAttr::ftHidden});
  EXPECT_EQ(ItemsOf(list), (Names{"a.pdf", "h.pdf"}));
  // Without ftNormal only entries carrying a chosen bit are listed.
  list.SetFileType({TFileAttr::ftDirectory});
  Names folders = ItemsOf(list);
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (Names{"[..]", "[.]", "[sub]"}));
  list.SetFileType({TFileAttr::ftHidden});
  EXPECT_EQ(ItemsOf(list), (Names{"h.pdf"}));
}

TEST_F(FileListBoxTest, SameFolderIsNotReadAgain) {
  dir_.MakeFolder("docs");
  Touch("docs/a.pdf");
  TFileListBox list(fs_);
  list.SetDirectory(At("docs"));
  ASSERT_EQ(list.Count(), 1);
  Touch("docs/b.pdf");
  QSignalSpy changes(&list, &TFileListBox::OnChange);

  list.SetDirectory(At("docs"));
  list.SetDirectory(At("docs/"));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(changes.count(), 0);

  // On a case-blind volume another spelling is the same folder; on a case-sensitive one
  // (the temporary folder's) it is another folder, here a missing one.
  fs_.SetCaseRules(CaseRules{.preserves_case = true, .case_sensitive = false});
  list.ChangeFolder(At("DOCS"));
  EXPECT_EQ(list.Count(), 1);
  fs_.SetCaseRules(CaseRules{});
  EXPECT_THROW(list.ChangeFolder(At("DOCS")), EInOutError);

  // A different folder is read; coming back reads again and sees the new file.
  list.SetDirectory(root_);
  list.SetDirectory(At("docs"));
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(FileListBoxTest, MissingFolderRaisesAndChangesNothing) {
  Touch("a.pdf");
  TFileListBox list(fs_);
  ASSERT_EQ(ItemsOf(list), (Names{"a.pdf"}));
  QSignalSpy changes(&list, &TFileListBox::OnChange);
  try {
    list.SetDirectory(At("missing"));
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "File not found");
    EXPECT_EQ(e.ErrorCode, 2);
  }
  EXPECT_EQ(list.Directory(), root_);
  EXPECT_EQ(ItemsOf(list), (Names{"a.pdf"}));
  EXPECT_EQ(changes.count(), 0);

  // A folder that cannot be entered any more keeps the items when it is read again.
  fs_.FailCall(FsCall::kChangeDirectory, root_, EACCES);
  try {
    list.ReloadFiles();
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "File access denied");
  }
  fs_.ClearFailures();
  EXPECT_EQ(ItemsOf(list), (Names{"a.pdf"}));

  list.SetDirectory("");
  EXPECT_EQ(list.Directory(), root_);
  EXPECT_EQ(changes.count(), 0);
}

TEST_F(FileListBoxTest, FolderWithWildcardNameSetsTheMask) {
  dir_.MakeFolder("docs");
  Touch("docs/a.pdf");
  Touch("docs/b.txt");
  TFileListBox list(fs_);
  list.SetMask("*.pdf");
  list.SetDirectory(At("docs/*.txt"));
  EXPECT_EQ(list.Directory(), At("docs"));
  EXPECT_EQ(list.Mask(), "*.txt");
  EXPECT_EQ(ItemsOf(list), (Names{"b.txt"}));
}

TEST_F(FileListBoxTest, FilePathFocusesTheFile) {
  dir_.MakeFolder("docs");
  Touch("docs/a.pdf");
  Touch("docs/b.pdf");

  // Single selection: the file is selected; the mask stays.
  TFileListBox single(fs_);
  single.SetMask("*.pdf");
  single.SetDirectory(At("docs/b.pdf"));
  EXPECT_EQ(single.Directory(), At("docs"));
  EXPECT_EQ(single.Mask(), "*.pdf");
  EXPECT_EQ(single.ItemIndex(), 1);
  EXPECT_EQ(single.SelectedFileName(), "b.pdf");
  EXPECT_EQ(single.SelectedFilePath(), At("docs/b.pdf"));

  // Several selectable: the file gets the focus only, so the mask narrows to its name.
  TFileListBox multi(fs_);
  multi.SetMultiSelect(true);
  multi.SetMask("*.pdf");
  multi.SetDirectory(At("docs/b.pdf"));
  EXPECT_EQ(multi.Directory(), At("docs"));
  EXPECT_EQ(multi.Mask(), "b.pdf");
  EXPECT_EQ(ItemsOf(multi), (Names{"b.pdf"}));
  EXPECT_EQ(multi.ItemIndex(), 0);
  EXPECT_FALSE(multi.Selected(0));
  EXPECT_EQ(multi.SelectedFileName(), "");
}

TEST_F(FileListBoxTest, NeverShownListReadsItsFolderAtTheFirstItemQuery) {
  dir_.MakeFolder("sub");
  Touch("sub/one.pdf");
  TFileListBox list(fs_);
  list.SetMask("*.pdf");
  const int opened = fs_.CallCount(FsCall::kOpenDirectory);
  list.SetDirectory(At("sub"));
  EXPECT_EQ(fs_.CallCount(FsCall::kOpenDirectory), opened);  // nothing read yet
  Touch("sub/two.pdf");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_FALSE(list.isVisible());

  // Each later folder is read when it is assigned.
  dir_.MakeFolder("other");
  Touch("other/three.pdf");
  list.SetDirectory(At("other"));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(CurrentFolderOf(fs_), At("other"));  // left at the folder read
}

TEST_F(FileListBoxTest, ShowingTheListReadsItsFolder) {
  Touch("a.pdf");
  TFileListBox list(fs_);
  const int opened = fs_.CallCount(FsCall::kOpenDirectory);
  list.show();
  EXPECT_GT(fs_.CallCount(FsCall::kOpenDirectory), opened);
  EXPECT_EQ(ItemsOf(list), (Names{"a.pdf"}));
}

TEST_F(FileListBoxTest, BusyCursorWhileMoreThanAHundredItemsAreRead) {
  for (int i = 0; i < 150; ++i) Touch("many/f" + std::to_string(i) + ".pdf");
  for (int i = 0; i < 100; ++i) Touch("few/f" + std::to_string(i) + ".pdf");
  ObservedFileSystem observed(fs_);
  int busy_entries = 0;
  observed.on_entry = [&] { busy_entries += OverrideShape() == Qt::WaitCursor; };

  QGuiApplication::setOverrideCursor(Qt::CrossCursor);
  TFileListBox list(observed);
  list.SetDirectory(At("few"));
  EXPECT_EQ(list.Count(), 100);
  EXPECT_EQ(busy_entries, 0);

  list.SetDirectory(At("many"));
  EXPECT_EQ(list.Count(), 150);
  EXPECT_GT(busy_entries, 40);
  EXPECT_EQ(OverrideShape(), Qt::CrossCursor);

  // An error in the middle of the read puts the cursor back too.
  int entries = 0;
  busy_entries = 0;
  observed.on_entry = [&] {
    busy_entries += OverrideShape() == Qt::WaitCursor;
    if (++entries == 130) throw std::runtime_error("read failed");
  };
  EXPECT_THROW(list.ReloadFiles(), std::runtime_error);
  EXPECT_GT(busy_entries, 0);
  EXPECT_EQ(OverrideShape(), Qt::CrossCursor);
  QGuiApplication::restoreOverrideCursor();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(FileListBoxTest, ItemQueriesOutsideTheListRaise) {
  Touch("a.pdf");
  TFileListBox list(fs_);
  ASSERT_EQ(list.Count(), 1);
  try {
    list.Items(-1);
    FAIL() << "no error";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (-1)");
  }
  try {
    list.Selected(1);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (1)");
  }
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_EQ(list.SelectedFileName(), "");
}

TEST_F(FileListBoxTest, SelectFileByNamePrefersTheExactName) {
  Touch("a.pdf");
  Touch("A.pdf");
  Touch("b.pdf");
  TFileListBox list(fs_);
  list.SetMask("*.pdf");
  for (const std::string name : {"a.pdf", "A.pdf"}) {
    list.SelectFileByName(name);
    EXPECT_EQ(list.SelectedFileName(), name);
  }
  list.SelectFileByName("B.PDF");
  EXPECT_EQ(list.SelectedFileName(), "b.pdf");
  list.SelectFileByName("none.pdf");
  EXPECT_EQ(list.ItemIndex(), -1);
}

TEST_F(FileListBoxTest, UserClickFiresClickAndChangeAndFillsTheEdit) {
  Touch("a.pdf");
  Touch("b.pdf");
  auto edit_owner = std::make_unique<QLineEdit>();
  QLineEdit& edit = *edit_owner;
  TFileListBox list(fs_);
  list.SetMask("*.pdf");
  list.SetFileEdit(&edit);
  list.resize(200, 200);
  list.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  EXPECT_EQ(edit.text(), "*.pdf");

  QSignalSpy clicks(&list, &TFileListBox::OnClick);
  QSignalSpy changes(&list, &TFileListBox::OnChange);
  const QPoint second = list.visualRect(list.model()->index(1, 0)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(list.SelectedFileName(), "b.pdf");
  EXPECT_EQ(edit.text(), "b.pdf");

  // The same item again changes no selection.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(changes.count(), 1);

  // Destroying the edit clears the link.
  edit_owner.reset();
  EXPECT_EQ(list.FileEdit(), nullptr);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    list.visualRect(list.model()->index(0, 0)).center());
  EXPECT_EQ(changes.count(), 2);

  // Setting the item index in code is no click.
  list.SetItemIndex(1);
  EXPECT_EQ(clicks.count(), 2);
  EXPECT_EQ(changes.count(), 2);
}

TEST_F(FileListBoxTest, ExtendedSelectionPicksSeveralFiles) {
  for (const char* name : {"a.pdf", "b.pdf", "c.pdf"}) Touch(name);
  TFileListBox list(fs_);
  list.SetMultiSelect(true);
  list.SetMask("*.pdf");
  list.resize(200, 200);
  list.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  auto click = [&](int row, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers,
                      list.visualRect(list.model()->index(row, 0)).center());
  };
  click(0, {});
  click(2, Qt::ControlModifier);
  EXPECT_TRUE(list.Selected(0));
  EXPECT_FALSE(list.Selected(1));
  EXPECT_TRUE(list.Selected(2));
  EXPECT_EQ(list.ItemIndex(), 2);
  click(0, Qt::ShiftModifier);
  EXPECT_TRUE(list.Selected(1));
}

}  // namespace
}  // namespace foliotally
