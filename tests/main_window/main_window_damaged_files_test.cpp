// Damaged and invalid files in the window: a damaged file whose pages can be read is counted
// and the user is told; the end of a count says how many files were damaged or invalid; and
// while the "Invalid pdf file." box is up the status bar names the file.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QStatusBar>
#include <cstdio>

#include "main_window/main_window_status_text.h"
#include "main_window_fixture.h"

namespace foliotally::test {
namespace {

// A three-page file cut before its cross-reference table: damaged, its pages still there.
std::string CutPdf(MainWindowFixture& f, const std::string& relative) {
  const std::string whole = MakePdf(3);
  return f.dir.Write(relative, whole.substr(0, whole.find("xref"))).string();
}

void SelectAll(TFileListBox& list) {
  list.selectAll();
  QCoreApplication::processEvents();
}

TEST(DamagedFiles, ClickOnADamagedFileSaysSo) {
  MainWindowFixture f;
  CutPdf(f, "docs/cut.pdf");
  f.ShowFolder("docs");
  f.window->FileListBox->SetItemIndex(0);
  f.window->FileListBoxClick(f.window->FileListBox);
  EXPECT_EQ(f.Status(), "cut.pdf has 3 pages (damaged file: read as a viewer shows it)");
}

TEST(DamagedFiles, SelectedCountsThemAndEndsWithTheNumbers) {
  MainWindowFixture f;
  const std::string a = f.Pdf("docs/a.pdf", 2);
  const std::string cut = CutPdf(f, "docs/cut.pdf");
  f.dir.Write("docs/junk.pdf", "this is not a PDF file");
  f.ShowFolder("docs");
  SelectAll(*f.window->FileListBox);
  QString status_during_box;
  ModalAnswerer answerer;
  answerer.OnBox([&](QWidget*) { status_during_box = f.Status(); });
  f.window->BtnCountSelected->click();
  ASSERT_EQ(answerer.count(), 1);
  EXPECT_EQ(answerer.boxes()[0].text, "Invalid pdf file.");
  EXPECT_TRUE(status_during_box.startsWith("junk.pdf is not a valid PDF file"))
      << status_during_box.toStdString();
  EXPECT_EQ(f.Pages(), "5");
  EXPECT_EQ(f.Log(), a + ";2\r\n" + cut + ";3\r\n");
  EXPECT_EQ(f.Status(), "Counted 3 files. 1 damaged, 1 invalid.");
}

TEST(DamagedFiles, CountAllEndsWithTheNumbers) {
  MainWindowFixture f;
  f.Pdf("docs/a.pdf", 2);
  CutPdf(f, "docs/sub/cut.pdf");
  f.ShowFolder("docs");
  f.window->btnCountAll->click();
  EXPECT_EQ(f.Pages(), "5");
  EXPECT_EQ(f.Status(), "Counted 2 files. 1 damaged, 0 invalid.");
}

TEST(DamagedFiles, RepairHelperFailureIsToldOncePerRun) {
  CountTally tally;
  FoliotallyCount count{};
  count.pages = 2;
  count.verdict = FOLIOTALLY_RECOVERED;
  std::snprintf(count.reason, sizeof count.reason,
                "cross-reference data rebuilt; repair helper could not run");
  EXPECT_TRUE(tally.Note(count));
  EXPECT_FALSE(tally.Note(count));
  EXPECT_EQ(tally.damaged, 2);
  EXPECT_EQ(CountEndText(4, tally), "Counted 4 files. 2 damaged, 0 invalid.");
  EXPECT_EQ(CountEndText(4, CountTally{}), "Counted 4 files.");
}

}  // namespace
}  // namespace foliotally::test
