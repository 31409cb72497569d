// "Count All" on real temporary trees: the order of the walk, what it skips, Stop, errors,
// link loops, and the folder browser back at the start folder in every case.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <sstream>
#include <thread>

#include "main_window_fixture.h"

namespace foliotally::test {
namespace {

std::vector<std::string> LogLines(const std::string& log) {
  std::vector<std::string> lines;
  std::string::size_type start = 0, end;
  while ((end = log.find("\r\n", start)) != std::string::npos) {
    lines.push_back(log.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

class CountAll : public ::testing::Test {
 protected:
  void SetUp() override {
    f = std::make_unique<MainWindowFixture>([this](const std::string& path) {
      counted.push_back(path);
      if (onCount) onCount(path);
      return 1;
    });
  }
  std::string Line(const std::string& relative) { return f->Path(relative) + ";1"; }
  void CountAllIn(const std::string& relative) {
    f->ShowFolder(relative);
    f->window->btnCountAll->click();
  }

  std::unique_ptr<MainWindowFixture> f;
  std::vector<std::string> counted;
  std::function<void(const std::string&)> onCount;
};

TEST_F(CountAll, WalksDepthFirstWithAFoldersFilesBeforeItsSubfolders) {
  f->Pdf("S/a.pdf", 1);
  f->Pdf("S/A/x.pdf", 1);
  f->Pdf("S/A/A1/y.pdf", 1);
  f->Pdf("S/B/z.pdf", 1);
  CountAllIn("S");
  // Sibling folders come in the walk's name order, as in foliotally-count.
  EXPECT_EQ(LogLines(f->Log()),
            (std::vector<std::string>{Line("S/a.pdf"), Line("S/A/x.pdf"), Line("S/A/A1/y.pdf"),
                                      Line("S/B/z.pdf")}));
  EXPECT_EQ(f->Status(), "Counted 4 files.");
  EXPECT_EQ(f->Files(), "4");
  EXPECT_EQ(f->Pages(), "4");
  EXPECT_EQ(f->window->DirectoryListBox->Directory(), f->Path("S"));
  EXPECT_FALSE(f->window->BitBtnStop->isVisible());
}

TEST_F(CountAll, EmptyFolderCountsNothingAndClearsTheLog) {
  f->dir.MakeFolder("S");
  f->window->RichEditLog->AppendLogLine("earlier");
  f->window->edtFileCount->setText("9");
  CountAllIn("S");
  EXPECT_EQ(f->Status(), "Counted 0 files.");
  EXPECT_EQ(f->Pages(), "0");
  EXPECT_EQ(f->Files(), "9");
  EXPECT_EQ(f->Log(), "");
}

TEST_F(CountAll, ReachesFilesBelowAFolderWithoutAny) {
  f->Pdf("S/empty/inner/deep.pdf", 1);
  CountAllIn("S");
  EXPECT_EQ(LogLines(f->Log()), std::vector<std::string>{Line("S/empty/inner/deep.pdf")});
}

TEST_F(CountAll, SkipsDotFoldersHiddenAndSystemFoldersWithTheirSubtrees) {
  f->Pdf("S/.cache/c.pdf", 1);
  f->Pdf("S/.cache/sub/c2.pdf", 1);
  f->Pdf("S/hidden/h.pdf", 1);
  f->Pdf("S/system/s.pdf", 1);
  f->Pdf("S/plain/p.pdf", 1);
  f->fs.MarkHidden(f->Path("S/hidden"));
  f->fs.MarkSystem(f->Path("S/system"));
  CountAllIn("S");
  EXPECT_EQ(LogLines(f->Log()), std::vector<std::string>{Line("S/plain/p.pdf")});
}

TEST_F(CountAll, IncludeSubdirectoriesClearedCountsTheStartFolderAlone) {
  f->Pdf("S/a.pdf", 1);
  f->Pdf("S/A/x.pdf", 1);
  f->window->CheckBox2->setChecked(false);
  CountAllIn("S");
  EXPECT_EQ(LogLines(f->Log()), std::vector<std::string>{Line("S/a.pdf")});
}

// Posts `act` as a user's click would come, and takes long enough over the file under way
// that the window is brought up to date (and the click handled) before the next one.
void ActWhileCounting(MainWindowFixture& f, std::function<void()> act) {
  QTimer::singleShot(0, f.window.get(), std::move(act));
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
}

TEST_F(CountAll, StopEndsTheCountBeforeTheNextFileEvenInSiblingFolders) {
  f->Pdf("S/A/a.pdf", 1);
  f->Pdf("S/A/deep/d.pdf", 1);
  f->Pdf("S/A/deep/deeper/e.pdf", 1);
  f->Pdf("S/A/deep/later.pdf", 1);
  for (int i = 0; i < 20; ++i) f->Pdf("S/B" + std::to_string(i) + "/b.pdf", 1);
  onCount = [this](const std::string& path) {
    if (path.ends_with("/d.pdf")) ActWhileCounting(*f, [this] { f->window->BitBtnStop->click(); });
  };
  CountAllIn("S");
  ASSERT_EQ(counted.size(), 2u) << f->Log();
  EXPECT_TRUE(counted.back().ends_with("/d.pdf"));
  EXPECT_EQ(LogLines(f->Log()),
            (std::vector<std::string>{Line("S/A/a.pdf"), Line("S/A/deep/d.pdf")}));
  EXPECT_EQ(f->Status(), "Stopped after 2 files.");
  EXPECT_EQ(f->Files(), "2");
  EXPECT_TRUE(f->window->stopRequested());
  EXPECT_FALSE(f->window->BitBtnStop->isVisible());
  EXPECT_EQ(f->window->DirectoryListBox->Directory(), f->Path("S"));
}

TEST_F(CountAll, ClosingTheWindowEndsTheCountOnceTheLogIsLetGo) {
  f->Pdf("S/a.pdf", 1);
  f->Pdf("S/b.pdf", 1);
  f->Pdf("S/c.pdf", 1);
  onCount = [this](const std::string& path) {
    if (path.ends_with("/b.pdf")) ActWhileCounting(*f, [this] { f->window->close(); });
  };
  ModalAnswerer answerer(Qt::Key_D);  // "Discard"
  CountAllIn("S");
  ASSERT_EQ(answerer.count(), 1);
  EXPECT_TRUE(answerer.boxes()[0].text.contains("not been saved"));
  EXPECT_EQ(counted.size(), 2u);
  EXPECT_FALSE(f->window->isVisible());
}

TEST_F(CountAll, StatusSaysHowManyFilesWereNotValid) {
  f.reset();
  f = std::make_unique<MainWindowFixture>(
      [](const std::string& path) { return path.find("bad") == std::string::npos ? 1 : -1; });
  for (const char* name : {"S/a.pdf", "S/bad1.pdf", "S/bad2.pdf"}) f->Pdf(name, 1);
  ModalAnswerer answerer;
  CountAllIn("S");
  EXPECT_EQ(answerer.count(), 2);
  EXPECT_EQ(f->Status(), "Counted 3 files. 0 damaged, 2 invalid.");
}

TEST_F(CountAll, UnreadableSubfolderEndsTheCountButKeepsWhatWasCounted) {
  f->Pdf("S/a.pdf", 1);
  f->Pdf("S/locked/l.pdf", 1);
  f->fs.FailCall(FsCall::kChangeDirectory, f->Path("S/locked"), EACCES);
  ModalAnswerer answerer;
  CountAllIn("S");
  ASSERT_EQ(answerer.count(), 1);
  EXPECT_EQ(answerer.boxes()[0].windowTitle, "Foliotally");
  EXPECT_EQ(answerer.boxes()[0].text, "some files encountered some errors");
  EXPECT_EQ(LogLines(f->Log()), std::vector<std::string>{Line("S/a.pdf")});
  EXPECT_EQ(f->Pages(), "1");
  EXPECT_FALSE(f->Status().startsWith("Counted"));
  EXPECT_FALSE(f->window->BitBtnStop->isVisible());
  EXPECT_EQ(f->window->DirectoryListBox->Directory(), f->Path("S"));
  EXPECT_EQ(f->window->FileListBox->Directory(), f->Path("S"));
}

TEST_F(CountAll, FoldersWhoseNamesHoldWildcardsAreCountedLikeAnyOther) {
  for (const char* name :
       {"S/a.pdf", "S/a*b/x.pdf", "S/c/y.pdf", "S/what?/w.pdf", "S/what?/in*/v.pdf", "S/z/z.pdf"})
    f->Pdf(name, 1);
  CountAllIn("S");
  EXPECT_EQ(LogLines(f->Log()),
            (std::vector<std::string>{Line("S/a.pdf"), Line("S/a*b/x.pdf"), Line("S/c/y.pdf"),
                                      Line("S/what?/w.pdf"), Line("S/what?/in*/v.pdf"),
                                      Line("S/z/z.pdf")}));
  EXPECT_EQ(f->Status(), "Counted 6 files.");
  EXPECT_EQ(f->window->FileListBoxTest->Mask(), "*.pdf");
  EXPECT_EQ(f->window->FileListBox->Mask(), "*.pdf");
}

TEST_F(CountAll, AFolderReachedThroughManyLinksIsCountedOnce) {
  // D0 holds two links to D1, D1 two to D2 and so on: 2^10 paths lead down to D10.
  constexpr int kLevels = 10;
  f->Pdf("S/D" + std::to_string(kLevels) + "/f.pdf", 3);
  for (int level = kLevels - 1; level >= 0; --level) {
    const std::string next = f->Path("S/D" + std::to_string(level + 1));
    const std::string here = "S/D" + std::to_string(level);
    f->dir.MakeFolder(here);
    std::filesystem::create_directory_symlink(next, f->Path(here + "/p"));
    std::filesystem::create_directory_symlink(next, f->Path(here + "/q"));
  }
  CountAllIn("S");
  ASSERT_EQ(counted.size(), 1u) << f->Log();
  EXPECT_TRUE(counted[0].ends_with("/f.pdf"));
  EXPECT_EQ(f->Status(), "Counted 1 file.");
  EXPECT_EQ(f->Pages(), "1");  // the stand-in counter says 1 page for every file
}

TEST_F(CountAll, FolderThatCanBeListedButNotSearchedEndsTheCountLikeOneWithoutAccess) {
  f->Pdf("S/a.pdf", 1);
  f->Pdf("S/listed/l.pdf", 1);
  f->Pdf("S/unlisted/u.pdf", 1);
  for (const std::string folder : {"S/listed", "S/unlisted"}) {
    // Read permission without search, then search permission without read.
    f->fs.ClearFailures();
    if (folder == "S/listed")
      f->fs.DenySearch(f->Path(folder));
    else
      f->fs.FailCall(FsCall::kOpenDirectory, f->Path(folder), EACCES);
    ModalAnswerer answerer;
    CountAllIn("S");
    ASSERT_EQ(answerer.count(), 1) << folder;
    EXPECT_EQ(answerer.boxes()[0].text, "some files encountered some errors");
    std::vector<std::string> before = {Line("S/a.pdf")};
    if (folder == "S/unlisted") before.push_back(Line("S/listed/l.pdf"));
    EXPECT_EQ(LogLines(f->Log()), before) << folder;
    EXPECT_FALSE(f->Status().startsWith("Counted ")) << folder;
    EXPECT_EQ(f->window->DirectoryListBox->Directory(), f->Path("S"));
  }
}

TEST_F(CountAll, LinkBackToAnAncestorIsNotFollowedRoundAndRound) {
  f->Pdf("S/a.pdf", 1);
  f->Pdf("S/A/x.pdf", 1);
  std::filesystem::create_directory_symlink(f->Path("S"), f->Path("S/A/loop"));
  std::filesystem::create_directory_symlink(f->Path("S/A"), f->Path("S/A/self"));
  CountAllIn("S");
  auto lines = LogLines(f->Log());
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{Line("S/A/x.pdf"), Line("S/a.pdf")}));
}

TEST_F(CountAll, LinkToAFolderOutsideThePathIsCounted) {
  f->Pdf("S/A/x.pdf", 1);
  f->Pdf("other/o.pdf", 1);
  std::filesystem::create_directory_symlink(f->Path("other"), f->Path("S/A/link"));
  CountAllIn("S");
  // The folder entered through the link is named by the path the system gives for it.
  EXPECT_NE(f->Log().find(Line("other/o.pdf")), std::string::npos) << f->Log();
}

TEST_F(CountAll, InvalidFileIsReportedAndTheWalkGoesOn) {
  f.reset();
  f = std::make_unique<MainWindowFixture>();  // the real page counter
  const std::string good = f->Pdf("S/A/good.pdf", 2);
  f->dir.Write("S/A/bad.pdf", "a text file that only has the name of a PDF");
  ModalAnswerer answerer;
  CountAllIn("S");
  ASSERT_EQ(answerer.count(), 1);
  EXPECT_EQ(answerer.boxes()[0].text, "Invalid pdf file.");
  EXPECT_EQ(f->Log(), good + ";2\r\n");
  EXPECT_EQ(f->Files(), "2");
  EXPECT_EQ(f->Status(), "Counted 2 files. 0 damaged, 1 invalid.");
}

TEST_F(CountAll, SecondCountStartedDuringACountStartsAfresh) {
  f->Pdf("S/A/a.pdf", 1);
  f->Pdf("S/B/b.pdf", 1);
  bool nested = false;
  onCount = [&](const std::string&) {
    if (nested) return;
    nested = true;
    QTimer::singleShot(0, f->window.get(), [this] { f->window->btnCountAll->click(); });
  };
  CountAllIn("S");
  EXPECT_TRUE(nested);
  EXPECT_FALSE(f->window->BitBtnStop->isVisible());
  EXPECT_EQ(f->window->DirectoryListBox->Directory(), f->Path("S"));
  EXPECT_TRUE(f->Status().startsWith("Counted "));
}

}  // namespace
}  // namespace foliotally::test
