// The file named on the command line: its folder and extension set the folder browser the
// next time the window is idle after each activation.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "folder_browser/current_folder.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/file_list_box.h"
#include "main_window/main_window.h"
#include "support/fake_file_system.h"
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

TEST_F(StartupFile, ArgumentWithoutExtensionListsEveryFile) {
  const std::string docs = dir.MakeFolder("Docs").string();
  dir.Write("Docs/notes", "x");
  dir.Write("Docs/a.pdf", MakePdf(1));
  auto w = Start(docs + "/notes");
  ActivateAndIdle(*w);
  EXPECT_EQ(w->FileListBox->Mask(), "*");
  EXPECT_EQ(w->FileListBox->Count(), 2);
}

TEST_F(StartupFile, EveryActivationAppliesTheArgumentAgain) {
  const std::string docs = dir.MakeFolder("Docs").string();
  const std::string elsewhere = dir.MakeFolder("Elsewhere").string();
  auto w = Start(docs + "/report.pdf");
  ActivateAndIdle(*w);
  w->FileListBox->SetDirectory(elsewhere + "/*.txt");
  EXPECT_EQ(w->DirectoryListBox->Directory(), elsewhere);
  ActivateAndIdle(*w);  // as after the about box or an error box closes
  EXPECT_EQ(w->DirectoryListBox->Directory(), docs);
  EXPECT_EQ(w->FileListBox->Mask(), "*.pdf");
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
