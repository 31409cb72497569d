// The file named on the command line: its folder and extension set the folder browser once,
// at the first idle moment after the window is shown, whether or not it is ever activated.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QStatusBar>
#include <QTest>

#include "folder_browser/current_folder.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/file_list_box.h"
#include "main_window/main_window.h"
#include "support/fake_file_system.h"
#include "support/modal_answerer.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

class StartupFile : public ::testing::Test {
 protected:
  std::unique_ptr<TfrmMain> Start(const std::string& argument) {
    ChangeCurrentFolder(fs, dir.str());
    TfrmMainServices services;
    services.fileSystem = &fs;
    auto window = std::make_unique<TfrmMain>(argument, services);
    window->show();
    return window;
  }
  // The activation step followed by the first idle moment.
  static void ActivateAndIdle(TfrmMain& window) {
    window.FormActivate(&window);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }

  TempDir dir;
  FakeFileSystem fs;
};

TEST_F(StartupFile, WithoutArgumentShowsTheCurrentFoldersPdfFiles) {
  dir.Write("a.pdf", MakePdf(1));
  dir.Write("b.txt", "text");
  auto w = Start("");
  ActivateAndIdle(*w);
  EXPECT_EQ(w->DirectoryListBox->Directory(), dir.str());
  EXPECT_EQ(w->FileListBox->Directory(), dir.str());
  EXPECT_EQ(w->FileListBox->Mask(), "*.pdf");
  ASSERT_EQ(w->FileListBox->Count(), 1);
  EXPECT_EQ(w->FileListBox->Items(0), "a.pdf");
}

TEST_F(StartupFile, ArgumentSetsTheFolderAndTheMaskFromItsExtension) {
  const std::string docs = dir.MakeFolder("Docs").string();
  dir.Write("Docs/report.PDF", MakePdf(2));
  dir.Write("Docs/other.pdf", MakePdf(1));
  auto w = Start(docs + "/report.PDF");
  ActivateAndIdle(*w);
  EXPECT_EQ(w->DirectoryListBox->Directory(), docs);
  EXPECT_EQ(w->FileListBox->Directory(), docs);
  EXPECT_EQ(w->FileListBox->Mask(), "*.PDF");
}

// "Open with": the file is also selected and its count shown, as a click on it would.
TEST_F(StartupFile, ArgumentFileIsSelectedAndItsCountShown) {
  const std::string docs = dir.MakeFolder("Docs").string();
  dir.Write("Docs/a.pdf", MakePdf(1));
  dir.Write("Docs/report.pdf", MakePdf(2));
  dir.Write("Docs/z.pdf", MakePdf(1));
  auto w = Start(docs + "/report.pdf");
  ActivateAndIdle(*w);
  ASSERT_EQ(w->FileListBox->Count(), 3);
  EXPECT_FALSE(w->FileListBox->Selected(0));
  EXPECT_TRUE(w->FileListBox->Selected(1));
  EXPECT_FALSE(w->FileListBox->Selected(2));
  EXPECT_EQ(w->FileListBox->ItemIndex(), 1);
  EXPECT_EQ(w->StatusBar->currentMessage().toStdString(), "report.pdf has 2 pages");
}

TEST_F(StartupFile, ArgumentWithoutExtensionListsEveryFile) {
  const std::string docs = dir.MakeFolder("Docs").string();
  dir.Write("Docs/notes", "x");
  dir.Write("Docs/a.pdf", MakePdf(1));
  auto w = Start(docs + "/notes");
  ActivateAndIdle(*w);
  EXPECT_EQ(w->FileListBox->Mask(), "*");
  EXPECT_EQ(w->FileListBox->Count(), 2);
}

// Keeps every activation from the window, as a window manager that prevents focus
// stealing (or none at all) does.
class ActivationSwallower : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    return event->type() == QEvent::ActivationChange || event->type() == QEvent::WindowActivate;
  }
};

TEST_F(StartupFile, AppliedAfterTheFirstShowEvenWhenTheWindowIsNeverActivated) {
  const std::string docs = dir.MakeFolder("Docs").string();
  ChangeCurrentFolder(fs, dir.str());
  TfrmMainServices services;
  services.fileSystem = &fs;
  TfrmMain w(docs + "/report.pdf", services);
  ActivationSwallower swallower;
  w.installEventFilter(&swallower);
  w.show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.DirectoryListBox->Directory() == docs; }, 10000));
}

TEST_F(StartupFile, LaterActivationsKeepTheFolderTheUserWentTo) {
  const std::string docs = dir.MakeFolder("Docs").string();
  const std::string sub = dir.MakeFolder("Docs/sub").string();
  auto w = Start(docs + "/report.pdf");
  ActivateAndIdle(*w);
  ASSERT_EQ(w->DirectoryListBox->Directory(), docs);
  w->DirectoryListBox->SetDirectory(sub);
  {
    ModalAnswerer answerer;
    w->About1->trigger();
    ASSERT_EQ(answerer.count(), 1);
  }
  ActivateAndIdle(*w);  // as on every return to the window
  EXPECT_EQ(w->DirectoryListBox->Directory(), sub);
  EXPECT_EQ(w->FileListBox->Directory(), sub);
  // A folder entered later, as a drop from the file manager enters it, stays too when the
  // window is clicked after it.
  w->DirectoryListBox->SetDirectory(dir.str());
  ActivateAndIdle(*w);
  EXPECT_EQ(w->DirectoryListBox->Directory(), dir.str());
}

TEST_F(StartupFile, WithoutArgumentActivationChangesNothing) {
  const std::string elsewhere = dir.MakeFolder("Elsewhere").string();
  auto w = Start("");
  w->FileListBox->SetDirectory(elsewhere);
  ActivateAndIdle(*w);
  EXPECT_EQ(w->DirectoryListBox->Directory(), elsewhere);
}

}  // namespace
}  // namespace foliotally::test
