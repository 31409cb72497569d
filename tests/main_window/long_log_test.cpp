// "Count All" with "Add to log" ticked over more files than a 64K-character log holds:
// every file becomes a line; a log full at its limit ends the count as any error does;
// Stop still ends a count whose log grows long, before the next file.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "main_window_fixture.h"

namespace foliotally::test {
namespace {

// `files` files in folders of 100, each folder inside the one before it below S, so that
// after Stop the walk enters no further folder. Their content does not matter: the page
// counter is the test's own.
void MakeTree(MainWindowFixture& f, int files) {
  std::string folder = "S";
  for (int i = 0; i < files; ++i) {
    if (i % 100 == 0) folder += "/d" + std::to_string(i / 100);
    f.dir.Write(folder + "/f" + std::to_string(i) + ".pdf", "");
  }
}

class LongLog : public ::testing::Test {
 protected:
  LongLog()
      : f([this](const std::string&) {
          if (++counted == stopAfter) {
            QTimer::singleShot(0, f.window.get(),
                               [this] { QTest::mouseClick(f.window->BitBtnStop, Qt::LeftButton); });
            // Long enough for the window to handle the click before the next file.
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
          }
          return 2;
        }) {}

  int counted = 0;
  int stopAfter = -1;
  MainWindowFixture f;
};

TEST_F(LongLog, EveryFileOfAThreeThousandFileCountIsALogLine) {
  MakeTree(f, 3001);
  f.ShowFolder("S");
  f.window->btnCountAll->click();
  EXPECT_EQ(f.Status(), "Counted 3001 files.");
  EXPECT_EQ(f.Pages(), "6002");
  EXPECT_EQ(f.window->RichEditLog->LogicalLineCount(), 3001);
  EXPECT_GT(f.Log().size(), 65536u);
}

TEST_F(LongLog, LogFullAtItsLimitEndsTheCountWithTheErrorMessage) {
  MakeTree(f, 20);
  f.ShowFolder("S");
  // Room for five of the longest lines: five lines fit, the sixth does not.
  const std::size_t line = f.Path("S/d0/f10.pdf;2\r\n").size();
  f.window->RichEditLog->SetMaxLength(5 * line);
  ModalAnswerer answerer;
  f.window->btnCountAll->click();
  ASSERT_EQ(answerer.count(), 1);
  EXPECT_EQ(answerer.boxes()[0].text, "some files encountered some errors");
  EXPECT_EQ(f.window->RichEditLog->LogicalLineCount(), 5);
  EXPECT_EQ(f.Files(), "5");  // the sixth file was added to the pages, not to the files
  EXPECT_EQ(f.Pages(), "12");
  EXPECT_FALSE(f.Status().startsWith("Counted"));
  EXPECT_FALSE(f.window->BitBtnStop->isVisible());
}

TEST_F(LongLog, StopEndsACountWhileItsLogGrowsLong) {
  MakeTree(f, 3001);
  stopAfter = 2000;
  f.ShowFolder("S");
  f.window->btnCountAll->click();
  EXPECT_TRUE(f.window->stopRequested());
  EXPECT_EQ(f.window->fileCount(), 2000);  // not one file after the one under way
  EXPECT_EQ(f.window->RichEditLog->LogicalLineCount(), 2000);
  EXPECT_EQ(f.Status(), "Stopped after 2000 files.");
}

}  // namespace
}  // namespace foliotally::test
