// The main window as a user meets it: every control in place with its text, state and an
// accessible name, and the window's size limits.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include "folder_browser/file_list_box.h"
#include "main_window/main_window.h"

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
  EXPECT_EQ(w.BitBtn1->text(), "&Close");
  EXPECT_EQ(w.BitBtn2->text(), "Save");
  EXPECT_EQ(w.BtnCountSelected->text(), "Selected");
  EXPECT_EQ(w.btnCountAll->text(), "Count All");
  w.show();
  EXPECT_FALSE(w.BitBtnStop->isVisible());
  EXPECT_FALSE(w.FileListBoxTest->isVisible());
  EXPECT_TRUE(w.StatusBar->currentMessage().startsWith("Visit me at "));
}

TEST(MainWindowLayout, ControlsSitWhereTheLayoutPutsThem) {
  TfrmMain w("");
  EXPECT_EQ(w.edtCounter->geometry(), QRect(440, 22, 65, 21));
  EXPECT_EQ(w.edtFileCount->geometry(), QRect(296, 24, 65, 21));
  EXPECT_EQ(w.btnCountAll->geometry(), QRect(360, 464, 97, 33));
  EXPECT_EQ(w.BitBtnStop->geometry(), QRect(400, 416, 57, 33));
  EXPECT_EQ(w.Label2->pos(), QPoint(235, 27));
}

TEST(MainWindowLayout, MenusHoldTheirItems) {
  TfrmMain w("");
  const auto menus = w.menuBar()->actions();
  ASSERT_EQ(menus.size(), 3);
  EXPECT_EQ(menus[0]->text(), "File");
  EXPECT_EQ(menus[1]->text(), "View");
  EXPECT_EQ(menus[2]->text(), "Help");
  EXPECT_EQ(w.PagesBySize1->text(), "Pages by Size");
  EXPECT_EQ(w.Close1->text(), "Close");
  EXPECT_EQ(w.Visitwebsite1->text(), "Visit website");
  EXPECT_EQ(w.About1->text(), "About");
}

TEST(MainWindowLayout, CannotGrowBeyondItsLimits) {
  TfrmMain w("");
  w.show();
  w.resize(2000, 2000);
  EXPECT_LE(w.width(), 574);
  EXPECT_LE(w.height(), 589);
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
