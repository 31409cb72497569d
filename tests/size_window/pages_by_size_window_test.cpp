// The "Pages by Size" window: it gathers off the user-interface thread, shows the table
// sorted as the user asks, stops when told, and copies what it shows.
#include "size_window/pages_by_size_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace foliotally {
namespace {

// A4 for "a*", Letter landscape for "l*", not countable for anything else.
int32_t FakeMeasure(const std::string& path, pdf::FileSizes& sizes) {
  if (path[0] == 'a')
    sizes.groups = {{595.276, 841.89, 2}};
  else if (path[0] == 'l')
    sizes.groups = {{792, 612, 5}};
  else
    return FOLIOTALLY_NOT_PDF;
  return sizes.groups[0].pages;
}

bool WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i) QTest::qWait(10);
  return done();
}

TEST(PagesBySizeWindow, ShowsPagesAndFilesPerPaperSortableByAnyColumn) {
  auto* window = new PagesBySizeWindow({"a1.pdf", "a2.pdf", "l1.pdf", "x.txt"}, FakeMeasure);
  const std::unique_ptr<PagesBySizeWindow> owner(window);
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->show();
  ASSERT_TRUE(WaitUntil([&] { return !window->gathering(); }));
  QTest::qWait(150);  // one refresh after the end
  auto* view = window->findChild<QTableView*>("SizeTable");
  ASSERT_NE(view, nullptr);
  const QAbstractItemModel* model = view->model();
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->index(0, 0).data().toString(), "Letter");
  EXPECT_EQ(model->index(0, 2).data().toLongLong(), 5);
  // Sorting by pages, fewest first, sorts numbers as numbers.
  view->sortByColumn(2, Qt::AscendingOrder);
  EXPECT_EQ(model->index(0, 0).data().toString(), "A4");
  EXPECT_EQ(model->index(0, 3).data().toLongLong(), 2);
  EXPECT_EQ(window->findChild<QLabel*>("SizeStatus")->text(),
            "4 of 4 files measured, 9 pages; 1 could not be read");
  window->copyToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text(),
            "Paper\tOrientation\tPages\tFiles\nLetter\tlandscape\t5\t1\nA4\tportrait\t4\t2\n");
  EXPECT_EQ(window->csvBytes(),
            "Paper,Orientation,Pages,Files\r\nLetter,landscape,5,1\r\nA4,portrait,4,2\r\n");
}

TEST(PagesBySizeWindow, StopEndsTheGatheringAndClosingNeverWaitsForTheRest) {
  std::atomic<int> measured{0};
  const auto slow = [&](const std::string& path, pdf::FileSizes& sizes) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ++measured;
    return FakeMeasure(path, sizes);
  };
  std::vector<std::string> files(10000, "a.pdf");
  {
    PagesBySizeWindow window(files, slow);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    ASSERT_TRUE(WaitUntil([&] { return measured > 0; }));
    window.stop();
    ASSERT_TRUE(WaitUntil([&] { return !window.gathering(); }));
    QTest::qWait(150);
    EXPECT_TRUE(window.findChild<QLabel*>("SizeStatus")->text().endsWith("(stopped)"));
  }
  const int after_stop = measured;
  EXPECT_LT(after_stop, 10000);
  // A window closed while gathering ends its thread with it.
  { PagesBySizeWindow window(files, slow); }
  EXPECT_LT(measured - after_stop, 10000);
}

}  // namespace
}  // namespace foliotally
