// The colour columns of "Pages by Size": gathered only when asked for, matched to the rows
// of their paper, with progress and Stop.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>

#include "size_window/pages_by_size_window.h"

namespace foliotally {
namespace {

// Two A4 pages for "a*", one Letter landscape page for "l*".
int32_t FakeMeasure(const std::string& path, pdf::FileSizes& sizes) {
  sizes.groups = {path[0] == 'a' ? FoliotallyPageSize{595.276, 841.89, 2}
                                 : FoliotallyPageSize{792, 612, 1}};
  return sizes.groups[0].pages;
}

bool WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i) QTest::qWait(10);
  return done();
}

struct Fixture {
  std::atomic<int> reads{0};
  std::atomic<bool> hold{false};  // keeps the colour reading busy until released
  PaperColours::Read Read() {
    return [this](const std::string& path, std::vector<std::string>& papers, std::string& letters) {
      ++reads;
      while (hold) QThread::msleep(5);
      if (path[0] == 'a') {
        papers = {"A4 portrait", "A4 portrait"};
        letters = "CG";
        return 2;
      }
      papers = {""};  // a page whose size the colour reading could not measure
      letters = "?";
      return 1;
    };
  }
};

TEST(ColourColumns, AreGatheredOnlyWhenAskedForAndJoinTheirPapersRows) {
  Fixture fixture;
  auto window = std::make_unique<PagesBySizeWindow>(
      std::vector<std::string>{"a1.pdf", "a2.pdf", "l1.pdf"}, FakeMeasure, nullptr, fixture.Read());
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->show();
  ASSERT_TRUE(WaitUntil([&] { return !window->gathering(); }));
  // An ordinary table: no colour was read.
  EXPECT_EQ(fixture.reads, 0);
  EXPECT_EQ(window->table().headers.size(), 4u);

  window->findChild<QCheckBox*>("ColourPages")->setChecked(true);
  ASSERT_TRUE(WaitUntil([&] { return !window->gathering(); }));
  QTest::qWait(150);  // one refresh after the end
  EXPECT_EQ(fixture.reads, 3);
  const SizeTable table = window->table();
  ASSERT_EQ(table.headers, (std::vector<std::string>{"Paper", "Orientation", "Pages", "Files",
                                                     "Colour", "B&W", "Unknown colour"}));
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0][0], SizeTable::Cell(std::string("A4")));
  EXPECT_EQ(table.rows[0][4], SizeTable::Cell(int64_t{2}));  // colour
  EXPECT_EQ(table.rows[0][5], SizeTable::Cell(int64_t{2}));  // black-and-white
  EXPECT_EQ(table.rows[0][6], SizeTable::Cell(int64_t{0}));
  // The Letter page's size the colour reading did not know: its colour is not put on a row
  // it may not belong to.
  EXPECT_EQ(table.rows[1][4], SizeTable::Cell(int64_t{0}));
  EXPECT_NE(window->findChild<QLabel*>("SizeStatus")->text().indexOf("colours of 3 of 3 files"),
            -1);
  EXPECT_NE(window->csvBytes().indexOf("Colour,B&W"), -1);
  // Unticked, the columns go; the colours read stay for the next time.
  window->findChild<QCheckBox*>("ColourPages")->setChecked(false);
  EXPECT_EQ(window->table().headers.size(), 4u);
}

TEST(ColourColumns, StopEndsTheColourReading) {
  Fixture fixture;
  fixture.hold = true;
  auto window = std::make_unique<PagesBySizeWindow>(
      std::vector<std::string>{"a1.pdf", "a2.pdf", "a3.pdf", "a4.pdf"}, FakeMeasure, nullptr,
      fixture.Read());
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->show();
  ASSERT_TRUE(WaitUntil([&] { return !window->gathering(); }));
  window->findChild<QCheckBox*>("ColourPages")->setChecked(true);
  ASSERT_TRUE(WaitUntil([&] { return fixture.reads == 1; }));
  window->stop();
  fixture.hold = false;
  ASSERT_TRUE(WaitUntil([&] { return !window->gathering(); }));
  QTest::qWait(150);
  EXPECT_EQ(fixture.reads, 1);
  EXPECT_NE(window->findChild<QLabel*>("SizeStatus")->text().indexOf("(stopped)"), -1);
}

}  // namespace
}  // namespace foliotally
