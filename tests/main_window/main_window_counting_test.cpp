// Counting the file the user clicks and the files selected in the list, and saving the log.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "errors/errors.h"
#include "main_window/checked_counter.h"
#include "main_window_fixture.h"

namespace foliotally::test {
namespace {

void SelectAll(TFileListBox& list) {
  list.selectAll();
  QCoreApplication::processEvents();
}

TEST(CountSelected, AddsUpTheSelectedFilesAndLogsThemInListOrder) {
  MainWindowFixture f;
  const std::string b = f.Pdf("docs/b.pdf", 5);
  const std::string a = f.Pdf("docs/A.pdf", 3);
  f.ShowFolder("docs");
  SelectAll(*f.window->FileListBox);
  f.window->BtnCountSelected->click();
  EXPECT_EQ(f.Pages(), "8");
  EXPECT_EQ(f.Files(), "2");
  EXPECT_EQ(f.Status(), "Counted 2 files.");
  EXPECT_EQ(f.Log(), a + ";3\r\n" + b + ";5\r\n");
}

TEST(CountSelected, LeavesTheLogAloneWithAddToLogCleared) {
  MainWindowFixture f;
  f.Pdf("docs/a.pdf", 3);
  f.ShowFolder("docs");
  f.window->chkbxAddToLog->setChecked(false);
  SelectAll(*f.window->FileListBox);
  f.window->BtnCountSelected->click();
  EXPECT_EQ(f.Pages(), "3");
  EXPECT_EQ(f.Log(), "");
}

TEST(CountSelected, ReportsAnInvalidFileOnceAndGoesOn) {
  MainWindowFixture f;
  const std::string a = f.Pdf("docs/a.pdf", 3);
  f.dir.Write("docs/b.pdf", "this is not a PDF file");
  const std::string c = f.Pdf("docs/c.pdf", 5);
  f.ShowFolder("docs");
  SelectAll(*f.window->FileListBox);
  ModalAnswerer answerer;
  f.window->BtnCountSelected->click();
  ASSERT_EQ(answerer.count(), 1);
  EXPECT_EQ(answerer.boxes()[0].windowTitle, "Error");
  EXPECT_EQ(answerer.boxes()[0].text, "Invalid pdf file.");
  EXPECT_EQ(f.Files(), "3");
  EXPECT_EQ(f.Pages(), "8");
  EXPECT_EQ(f.Log(), a + ";3\r\n" + c + ";5\r\n");
}

TEST(CountSelected, EmptyListCountsNothingAndKeepsTheFileTotal) {
  MainWindowFixture f;
  f.dir.MakeFolder("empty");
  f.ShowFolder("empty");
  f.window->edtFileCount->setText("7");
  f.window->BtnCountSelected->click();
  EXPECT_EQ(f.Status(), "Counted 0 files.");
  EXPECT_EQ(f.Pages(), "0");
  EXPECT_EQ(f.Files(), "7");
}

TEST(CountSelected, PageTotalPastTheLimitRaisesIntegerOverflow) {
  MainWindowFixture f(
      [](const std::string& path) { return path.ends_with("b.pdf") ? 2 : 2147483646; });
  f.Pdf("docs/a.pdf", 1);
  f.Pdf("docs/b.pdf", 1);
  f.ShowFolder("docs");
  SelectAll(*f.window->FileListBox);
  try {
    f.window->BtnCountSelectedClick(nullptr);
    FAIL() << "no overflow raised";
  } catch (const EIntOverflow& e) {
    EXPECT_EQ(e.Message(), "Integer overflow");
  }
  // The totals shown are those before the failing file.
  EXPECT_EQ(f.Pages(), "2147483646");
  EXPECT_EQ(f.Files(), "1");
}

TEST(CountSelected, FullLogStopsTheCountAfterTheFileWasAddedToTheTotal) {
  MainWindowFixture f;
  f.Pdf("docs/a.pdf", 3);
  f.Pdf("docs/b.pdf", 5);
  f.ShowFolder("docs");
  f.window->RichEditLog->SetMaxLength(65536);
  f.window->RichEditLog->AppendLogLine(std::string(65520, 'x'));
  SelectAll(*f.window->FileListBox);
  try {
    f.window->BtnCountSelectedClick(nullptr);
    FAIL() << "no insertion error raised";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "RichEdit line insertion error");
  }
  EXPECT_EQ(f.Pages(), "3");
  EXPECT_EQ(f.Log(), std::string(65520, 'x') + "\r\n");
}

TEST(CountSelected, StartsFromZeroAfterAnEarlierCount) {
  MainWindowFixture f;
  f.Pdf("docs/a.pdf", 3);
  f.ShowFolder("docs");
  SelectAll(*f.window->FileListBox);
  f.window->BtnCountSelected->click();
  f.window->BtnCountSelected->click();
  EXPECT_EQ(f.Pages(), "3");
  EXPECT_EQ(f.Log(), f.Path("docs/a.pdf") + ";3\r\n" + f.Path("docs/a.pdf") + ";3\r\n");
}

TEST(FileClick, ShowsThePageCountAndTouchesNothingElse) {
  MainWindowFixture f;
  f.Pdf("docs/a.pdf", 12);
  f.dir.Write("docs/bad.pdf", "junk");
  f.ShowFolder("docs");
  auto& list = *f.window->FileListBox;
  list.SetItemIndex(0);
  f.window->FileListBoxClick(&list);
  EXPECT_EQ(f.Status(), "a.pdf has 12 pages");
  list.SetItemIndex(1);
  f.window->FileListBoxClick(&list);
  EXPECT_EQ(f.Status(), "bad.pdf has -3 pages");
  EXPECT_EQ(f.Pages(), "0");
  EXPECT_EQ(f.Log(), "");
}

TEST(Words, OnePageAndOneFileAreSingular) {
  MainWindowFixture f;
  f.Pdf("docs/one.pdf", 1);
  f.ShowFolder("docs");
  auto& list = *f.window->FileListBox;
  list.SetItemIndex(0);
  f.window->FileListBoxClick(&list);
  EXPECT_EQ(f.Status(), "one.pdf has 1 page");
  SelectAll(list);
  f.window->BtnCountSelected->click();
  EXPECT_EQ(f.Status(), "Counted 1 file.");
}

TEST(FileClick, EveryClickOnTheSameFileAsksTheLibraryAgain) {
  int calls = 0;
  int pages = 4;
  MainWindowFixture f([&](const std::string&) {
    ++calls;
    return pages;
  });
  f.Pdf("docs/a.pdf", 1);
  f.Pdf("docs/b.pdf", 1);
  f.ShowFolder("docs");
  TFileListBox& list = *f.window->FileListBox;
  const QPoint onA = list.visualRect(list.model()->index(0, 0)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, onA);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(f.Status(), "a.pdf has 4 pages");
  // The file changed on disk and something else was shown meanwhile.
  pages = 6;
  f.window->StatusBar->showMessage("other");
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, onA);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(f.Status(), "a.pdf has 6 pages");
  // Through the window, as the system delivers it: press, release, press, double click,
  // release.
  QTest::mouseDClick(list.window()->windowHandle(), Qt::LeftButton, {},
                     list.viewport()->mapTo(list.window(), onA));
  EXPECT_EQ(calls, 4);  // a double click is two clicks
  QTest::mouseClick(list.viewport(), Qt::RightButton, {}, onA);
  EXPECT_EQ(calls, 4);
}

TEST(FileClick, WithoutACurrentItemRaisesTheListError) {
  MainWindowFixture f;
  f.dir.MakeFolder("empty");
  f.ShowFolder("empty");
  try {
    f.window->FileListBoxClick(f.window->FileListBox);
    FAIL() << "no list error raised";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (-1)");
  }
}

TEST(SaveLog, WritesTheCountedLinesAndRemembersTheChoice) {
  MainWindowFixture f;
  const std::string a = f.Pdf("docs/a.pdf", 12);
  const std::string b = f.Pdf("docs/b.pdf", 3);
  f.ShowFolder("docs");
  SelectAll(*f.window->FileListBox);
  f.window->BtnCountSelected->click();
  const std::string target = f.Path("results");
  f.prompt.answers = {SaveFileAnswer{target, 2}, SaveFileAnswer{target + ".txt", 1}};
  f.window->BitBtn2->click();
  EXPECT_EQ(ReadFileBytes(target), a + ";12\r\n" + b + ";3\r\n");
  f.window->BitBtn2->click();
  ASSERT_EQ(f.prompt.questions.size(), 2u);
  EXPECT_EQ(f.prompt.questions[1].fileName, target);
  EXPECT_EQ(f.prompt.questions[1].filterIndex, 2);
  EXPECT_EQ(ReadFileBytes(target + ".txt"), ReadFileBytes(target));
}

TEST(SaveLog, EmptyLogAsksNothing) {
  MainWindowFixture f;
  f.window->BitBtn2->click();
  EXPECT_TRUE(f.prompt.questions.empty());
}

TEST(CheckedCounter, RaisesInsteadOfWrapping) {
  EXPECT_EQ(CheckedAdd(2147483646, 1), 2147483647);
  EXPECT_THROW(CheckedAdd(2147483647, 1), EIntOverflow);
  EXPECT_THROW(CheckedAdd(-2147483647 - 1, -1), EIntOverflow);
}

}  // namespace
}  // namespace foliotally::test
