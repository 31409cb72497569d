// The main window as a user meets it: every control in place with its text, state and an
// accessible name; its own access keys; and a layout that fits and grows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QStatusBar>

#include "folder_browser/directory_list_box.h"
#include "folder_browser/file_list_box.h"
#include "main_window/main_window.h"
#include "main_window/results_log/rich_edit_log.h"

namespace foliotally {
namespace {

TEST(MainWindowLayout, ControlsStartWithTheirTextsAndStates) {
  TfrmMain w("");
  EXPECT_EQ(w.windowTitle(), "Foliotally");
  EXPECT_EQ(w.edtFileCount->text(), "0");
  EXPECT_EQ(w.edtCounter->text(), "0");
  EXPECT_TRUE(w.edtFileCount->isReadOnly());
  EXPECT_TRUE(w.edtCounter->isReadOnly());
  EXPECT_TRUE(w.chkbxAddToLog->isChecked());
  EXPECT_TRUE(w.CheckBox2->isChecked());
  EXPECT_EQ(w.GroupBox2->title(), "Options");
  EXPECT_EQ(w.GroupBox1->title(), "");
  EXPECT_EQ(w.Label2->text(), "Total files:");
  EXPECT_EQ(w.Label1->text(), "Total pages:");
  w.show();
  EXPECT_FALSE(w.BitBtnStop->isVisible());
  EXPECT_FALSE(w.FileListBoxTest->isVisible());
  EXPECT_TRUE(w.StatusBar->currentMessage().startsWith("Visit me at "));
}

TEST(MainWindowLayout, EveryButtonMenuAndOptionHasItsOwnAccessKey) {
  TfrmMain w("");
  // Each window-wide Alt+letter reaches one control; the menus' own items are separate.
  const std::vector<std::pair<QString, QString>> keys = {
      {w.BtnCountSelected->text(), "&Selected"},
      {w.btnCountAll->text(), "Count &All"},
      {w.BitBtn1->text(), "&Close"},
      {w.BitBtn2->text(), "Sa&ve"},
      {w.BitBtnStop->text(), "S&top"},
      {w.chkbxAddToLog->text(), "Add to &log"},
      {w.CheckBox2->text(), "&Include subdirectories"},
      {w.menuBar()->actions()[0]->text(), "&File"},
      {w.menuBar()->actions()[1]->text(), "Vie&w"},
      {w.menuBar()->actions()[2]->text(), "&Help"}};
  QSet<QChar> letters;
  for (const auto& [text, expected] : keys) {
    EXPECT_EQ(text, expected);
    const qsizetype amp = text.indexOf('&');
    ASSERT_GE(amp, 0) << text.toStdString();
    EXPECT_FALSE(letters.contains(text[amp + 1].toLower())) << text.toStdString();
    letters.insert(text[amp + 1].toLower());
  }
}

TEST(MainWindowLayout, MenusHoldTheirItems) {
  TfrmMain w("");
  const auto menus = w.menuBar()->actions();
  ASSERT_EQ(menus.size(), 3);
  EXPECT_EQ(menus[0]->text(), "&File");
  EXPECT_EQ(menus[1]->text(), "Vie&w");
  EXPECT_EQ(menus[2]->text(), "&Help");
  EXPECT_EQ(w.PagesBySize1->text(), "Pages by &Size");
  EXPECT_EQ(w.Close1->text(), "&Close");
  EXPECT_EQ(w.Visitwebsite1->text(), "&Visit website");
  EXPECT_EQ(w.Visitwebsite1->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(w.About1->text(), "&About");
}

// Every shown control lies inside its parent, overlaps none of its shown siblings and has
// at least the room its text needs.
void ExpectNothingOverlapsOrIsClipped(QWidget* parent) {
  std::vector<QWidget*> shown;
  for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->isVisible() && !child->isWindow() && !child->objectName().isEmpty())
      shown.push_back(child);
  for (QWidget* child : shown) {
    const std::string name = child->objectName().toStdString();
    EXPECT_TRUE(parent->rect().contains(child->geometry())) << name;
    EXPECT_GE(child->width(), child->minimumSizeHint().width()) << name;
    EXPECT_GE(child->height(), child->minimumSizeHint().height()) << name;
    if (qobject_cast<QAbstractButton*>(child) || qobject_cast<QLabel*>(child)) {
      EXPECT_GE(child->width(), child->sizeHint().width()) << name;
      EXPECT_GE(child->height(), child->sizeHint().height()) << name;
    }
    for (QWidget* other : shown) {
      if (other == child) continue;
      EXPECT_FALSE(child->geometry().intersects(other->geometry()))
          << name << " overlaps " << other->objectName().toStdString();
    }
    ExpectNothingOverlapsOrIsClipped(child);
  }
}

TEST(MainWindowLayout, OpensAtItsDrawnSizeWithNothingOverlappingOrClipped) {
  TfrmMain w("");
  w.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(w.centralWidget()->width(), 558);
  ExpectNothingOverlapsOrIsClipped(w.centralWidget());
  EXPECT_GE(w.StatusBar->height(), w.StatusBar->sizeHint().height());
  EXPECT_TRUE(w.screen()->availableGeometry().contains(w.geometry()))
      << w.geometry().x() << "," << w.geometry().y() << " " << w.width() << "x" << w.height()
      << " in " << w.screen()->availableGeometry().width() << "x"
      << w.screen()->availableGeometry().height();
  // With Stop shown, as during a count.
  w.BitBtnStop->show();
  QCoreApplication::processEvents();
  ExpectNothingOverlapsOrIsClipped(w.centralWidget());
}

TEST(MainWindowLayout, GrowsWithTheListsAndTheLogTakingTheRoom) {
  TfrmMain w("");
  w.show();
  QCoreApplication::processEvents();
  const QSize files = w.FileListBox->size();
  const QSize folders = w.DirectoryListBox->size();
  const QSize log = w.RichEditLog->size();
  w.resize(w.width() + 400, w.height() + 300);
  QCoreApplication::processEvents();
  EXPECT_GT(w.FileListBox->width(), files.width());
  EXPECT_GT(w.FileListBox->height(), files.height());
  EXPECT_GT(w.DirectoryListBox->width(), folders.width());
  EXPECT_GT(w.RichEditLog->height(), log.height());
  EXPECT_GT(w.RichEditLog->width(), log.width());
  ExpectNothingOverlapsOrIsClipped(w.centralWidget());
  // Not smaller than it opened.
  w.resize(200, 200);
  QCoreApplication::processEvents();
  EXPECT_GE(w.centralWidget()->width(), 558);
  ExpectNothingOverlapsOrIsClipped(w.centralWidget());
}

TEST(MainWindowLayout, ScreenReadersHearTheLabelsOfTheTotals) {
  TfrmMain w("");
  w.show();
  auto name = [](QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
  };
  EXPECT_EQ(name(w.edtFileCount), "Total files:");
  EXPECT_EQ(name(w.edtCounter), "Total pages:");
  EXPECT_EQ(name(w.btnCountAll), "Count All");
  EXPECT_EQ(name(w.chkbxAddToLog), "Add to log");
  EXPECT_EQ(name(w.BitBtn1), "Close");
}

TEST(MainWindowLayout, CloseButtonAndMenuCloseTheWindow) {
  TfrmMain w("");
  w.show();
  w.BitBtn1->click();
  EXPECT_FALSE(w.isVisible());
  w.show();
  w.Close1->trigger();
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace foliotally
