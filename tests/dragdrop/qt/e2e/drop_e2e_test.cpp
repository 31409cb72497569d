// Real drags between two processes on an X server of their own: the drag source test
// program starts a drag, xdotool moves the real pointer, and the program's main window
// (with a voice, drop_probe) takes the drop. Run under xvfb-run with no window manager.
#include "dragdrop/qt/e2e/drop_e2e_fixture.h"

namespace foliotally::test {
namespace {

TEST_F(DropE2E, FolderDroppedIsEnteredAsCopy) {
  StartTarget(root.path());
  StartSource({"--uri", Uri("Docs")});
  DragTo(ListCentre());
  EXPECT_EQ(Release(), "copy");
  EXPECT_TRUE(probe->WaitFor([this](const QString& l) { return l == "folder " + Path("Docs"); }))
      << probe->Transcript();
}

TEST_F(DropE2E, OfSeveralItemsTheFirstCountsAndAFileEntersItsFolder) {
  StartTarget(root.path());
  StartSource({"--uri", Uri("Scans/a.pdf"), "--uri", Uri("Docs")});
  DragTo(ListCentre());
  EXPECT_EQ(Release(), "copy");
  EXPECT_TRUE(probe->WaitFor([this](const QString& l) { return l == "folder " + Path("Scans"); }))
      << probe->Transcript();
  Settle();
  EXPECT_FALSE(TargetSaid("folder " + Path("Docs")));
}

TEST_F(DropE2E, NameThatNoLongerExistsChangesNothingShowsNothingAndTellsNone) {
  StartTarget(root.path());
  StartSource({"--uri", Uri("Gone")});
  DragTo(ListCentre());
  EXPECT_EQ(Release(), "none");
  Settle();
  EXPECT_EQ(FolderLines(), 1) << probe->Transcript();
  EXPECT_FALSE(TargetSaid("window ")) << probe->Transcript();
}

TEST_F(DropE2E, PlainTextIsRefused) {
  StartTarget(root.path());
  StartSource({"--text", root.filePath("Docs")});
  DragTo(ListCentre());
  EXPECT_TRUE(TargetSaid("answer over 0 none"));
  EXPECT_EQ(Release(), "none");
  Settle();
  EXPECT_EQ(FolderLines(), 1) << probe->Transcript();
}

TEST_F(DropE2E, SourceThatOffersOnlyMoveIsRefused) {
  StartTarget(root.path());
  StartSource({"--uri", Uri("Docs"), "--actions", "move"});
  DragTo(ListCentre());
  EXPECT_TRUE(TargetSaid("answer over 0 none"));
  EXPECT_EQ(Release(), "none");
  Settle();
  EXPECT_EQ(FolderLines(), 1) << probe->Transcript();
}

TEST_F(DropE2E, CtrlAndShiftGiveLink) {
  StartTarget(root.path());
  StartSource({"--uri", Uri("Docs")});
  Xdo({"keydown", "ctrl+shift"});
  DragTo(ListCentre());
  const std::string result = Release();
  Xdo({"keyup", "ctrl+shift"});
  EXPECT_EQ(result, "link");
  EXPECT_TRUE(probe->WaitFor([this](const QString& l) { return l == "folder " + Path("Docs"); }));
}

TEST_F(DropE2E, DragThatJumpsToTheBottomEdgeOfALongListAndRestsScrollsIt) {
  for (int i = 0; i < 40; ++i)
    QDir(root.path()).mkpath(QString("Long/Folder %1").arg(i, 2, 10, QChar('0')));
  StartTarget(root.filePath("Long"));
  StartSource({"--uri", Uri("Docs")});
  DragTo(ListCentre());
  // One jump into the margin, then held still: the source sends no further position, and
  // the list still goes down one line at a time.
  MoveTo(QPoint(listArea.center().x(), listArea.bottom() - 4));
  EXPECT_TRUE(probe->WaitFor([](const QString& l) { return l == "scroll 2"; }, 30000))
      << probe->Transcript();
  // Back onto the source, which takes no drops: the drag ends with nothing done.
  MoveTo(sourceCentre);
  EXPECT_EQ(Release(), "none");
}

}  // namespace
}  // namespace foliotally::test

namespace foliotally::test {
namespace {

// Not a check of behaviour: a picture of a drag resting over the folder list, for the
// documentation. Saved as drop.png next to the test program.
TEST_F(DropE2E, PictureOfADragOverTheFolderList) {
  for (const char* name : {"Invoices 2024", "Invoices 2025", "Letters", "Manuals", "Receipts",
                           "Reports", "Scans", "Statements", "Tax"})
    QDir(root.path()).mkpath(QString("Archive/") + name);
  StartTarget(root.filePath("Archive"));
  StartSource(QStringList{"--uri", Uri("Docs"), "--uri", Uri("Scans/a.pdf")}, "1060,260");
  DragTo(QPoint(listArea.x() + 90, listArea.y() + 100));
  const QString picture = QString(DROP_PICTURE_FOLDER) + "/drop.png";
  probe->Write("shot " + picture);
  EXPECT_TRUE(probe->WaitFor([](const QString& l) { return l == "shot"; })) << probe->Transcript();
  MoveTo(sourceCentre);
  EXPECT_EQ(Release(), "none");
}

}  // namespace
}  // namespace foliotally::test
