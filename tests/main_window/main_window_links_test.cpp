// The main window's links and about box: "Help" opens the guide and the about box, the
// banner opens the guide's counting page; and the status bar keeps the text put there.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <vector>

#include "about/about_box.h"
#include "main_window/main_window.h"
#include "support/modal_answerer.h"

namespace foliotally {
namespace {

struct Recorder {
  std::vector<QUrl> opened;
  bool opens = true;  // false: no browser or opener is installed
  TfrmMainServices Services() {
    TfrmMainServices services;
    services.urlOpener = [this](const QUrl& url) {
      opened.push_back(url);
      return opens;
    };
    return services;
  }
};

TEST(MainWindowLinks, WebsiteOpensHomeAndBannerOpensThePage) {
  Recorder recorder;
  TfrmMain w("", recorder.Services());
  w.show();
  w.Visitwebsite1->trigger();
  QTest::mouseClick(w.Image1, Qt::LeftButton);
  ASSERT_EQ(recorder.opened.size(), 2u);
  EXPECT_FALSE(recorder.opened[0].hasFragment());
  EXPECT_EQ(recorder.opened[1].adjusted(QUrl::RemoveFragment), recorder.opened[0]);
  EXPECT_TRUE(recorder.opened[1].hasFragment());
  EXPECT_TRUE(w.StatusBar->currentMessage().endsWith(recorder.opened[1].toString()));
}

TEST(MainWindowLinks, AnAddressNothingCanOpenIsSaidInABox) {
  Recorder recorder;
  recorder.opens = false;
  TfrmMain w("", recorder.Services());
  w.show();
  test::ModalAnswerer answerer;
  w.Visitwebsite1->trigger();
  QTest::mouseClick(w.Image1, Qt::LeftButton);
  ASSERT_EQ(answerer.count(), 2);
  EXPECT_EQ(answerer.boxes()[0].windowTitle, "Error");
  EXPECT_TRUE(answerer.boxes()[0].text.contains(recorder.opened[0].toDisplayString()));
  EXPECT_TRUE(answerer.boxes()[0].text.contains("no web browser"));
  EXPECT_TRUE(answerer.boxes()[1].text.contains(recorder.opened[1].toDisplayString()));
}

TEST(MainWindowLinks, F1OpensTheUserGuide) {
  Recorder recorder;
  TfrmMain w("", recorder.Services());
  w.show();
  QApplication::setActiveWindow(&w);
  QTest::keyClick(&w, Qt::Key_F1);
  ASSERT_EQ(recorder.opened.size(), 1u);
  EXPECT_FALSE(recorder.opened[0].hasFragment());
}

TEST(MainWindowLinks, BannerOpensThePageOnALeftClickOnly) {
  Recorder recorder;
  TfrmMain w("", recorder.Services());
  w.show();
  QTest::mouseClick(w.Image1, Qt::RightButton);
  QTest::mouseClick(w.Image1, Qt::MiddleButton);
  EXPECT_TRUE(recorder.opened.empty());
  QTest::mouseClick(w.Image1, Qt::LeftButton);
  EXPECT_EQ(recorder.opened.size(), 1u);
}

TEST(MainWindowStatusBar, KeepsItsTextWhenThePointerCrossesTheMenuBar) {
  Recorder recorder;
  TfrmMain w("", recorder.Services());
  w.show();
  const QString initial = w.StatusBar->currentMessage();
  ASSERT_TRUE(initial.startsWith("Visit me at "));
  QMenuBar* bar = w.menuBar();
  for (QAction* title : bar->actions()) QTest::mouseMove(bar, bar->actionGeometry(title).center());
  QTest::mouseMove(w.centralWidget(), QPoint(5, 5));
  EXPECT_EQ(w.StatusBar->currentMessage(), initial);
  // What the menu's items send as the pointer moves over them.
  QStatusTipEvent tip("");
  QApplication::sendEvent(bar, &tip);
  EXPECT_EQ(w.StatusBar->currentMessage(), initial);
}

TEST(MainWindowLinks, AboutShowsTheSameBoxEachTime) {
  TfrmMain w("");
  w.show();
  std::vector<QWidget*> shown;
  {
    test::ModalAnswerer answerer;
    answerer.OnBox([&](QWidget* box) { shown.push_back(box); });
    w.About1->trigger();
    w.About1->trigger();
  }
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], shown[1]);
  EXPECT_EQ(shown[0], w.AboutBox());
  EXPECT_FALSE(w.AboutBox()->isVisible());
}

}  // namespace
}  // namespace foliotally
