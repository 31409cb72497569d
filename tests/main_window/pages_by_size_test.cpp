// "View" > "Pages by Size" after a count: the window measures the files the count counted,
// and only those.
#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "main_window_fixture.h"
#include "size_window/pages_by_size_window.h"

namespace foliotally::test {
namespace {

TEST(PagesBySize, ShowsTheFilesOfTheLastCountAndNoOthers) {
  MainWindowFixture f;
  f.Pdf("old/x.pdf", 9);
  f.Pdf("docs/a.pdf", 3);
  f.Pdf("docs/b.pdf", 2);
  f.ShowFolder("old");
  f.window->btnCountAll->click();
  f.ShowFolder("docs");
  f.window->btnCountAll->click();
  f.window->PagesBySize1->trigger();
  auto* sizes = f.window->findChild<PagesBySizeWindow*>("PagesBySizeWindow");
  ASSERT_NE(sizes, nullptr);
  for (int i = 0; i < 500 && sizes->gathering(); ++i) QTest::qWait(10);
  QTest::qWait(150);
  const QAbstractItemModel* model = sizes->findChild<QTableView*>("SizeTable")->model();
  ASSERT_EQ(model->rowCount(), 1);
  EXPECT_EQ(model->index(0, 0).data().toString(), "Letter");
  EXPECT_EQ(model->index(0, 2).data().toLongLong(), 5);
  EXPECT_EQ(model->index(0, 3).data().toLongLong(), 2);
  sizes->close();
}

}  // namespace
}  // namespace foliotally::test
