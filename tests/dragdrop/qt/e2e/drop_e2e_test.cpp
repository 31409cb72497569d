// Real drags between two processes on an X server of their own: the drag source test
// program starts a drag, xdotool moves the real pointer, and the program's main window
// (with a voice, drop_probe) takes the drop. Run under xvfb-run with no window manager.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPoint>
#include <QRect>
#include <QTemporaryDir>
#include <QUrl>

#include "dragdrop/qt/e2e/child_process.h"

namespace foliotally::test {
namespace {

// Where the two programs were built; set by the build.
const QString kSource = QStringLiteral(DRAG_SOURCE_PROGRAM);
const QString kProbe = QStringLiteral(DROP_PROBE_PROGRAM);

void Xdo(const QStringList& args) {
  ASSERT_EQ(ChildProcess::Run("xdotool", args), 0) << args.join(' ').toStdString();
}

void MoveTo(QPoint p) { Xdo({"mousemove", QString::number(p.x()), QString::number(p.y())}); }

QPoint PointIn(const QString& line, int first) {
  const QStringList parts = line.split(' ');
  return QPoint(parts.value(first).toInt(), parts.value(first + 1).toInt());
}

class DropE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    QDir(root.path()).mkpath("Docs");
    QDir(root.path()).mkpath("Scans");
    QFile file(root.filePath("Scans/a.pdf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4\n");
  }

  QString Uri(const QString& relative) const {
    return QUrl::fromLocalFile(root.filePath(relative)).toString();
  }
  QString Path(const QString& relative) const {
    return QDir(root.filePath(relative)).canonicalPath();
  }

  // Starts the main window in `folder` and waits until its folder list is on the screen.
  void StartTarget(const QString& folder) {
    probe = std::make_unique<ChildProcess>(kProbe, QStringList{}, folder);
    const auto line = probe->WaitFor([](const QString& l) { return l.startsWith("list "); });
    ASSERT_TRUE(line.has_value()) << probe->Transcript();
    const QStringList parts = line->split(' ');
    listArea = QRect(parts[1].toInt(), parts[2].toInt(), parts[3].toInt(), parts[4].toInt());
    ASSERT_EQ(ChildProcess::Run("xdotool",
                                {"search", "--sync", "--onlyvisible", "--name", "^Foliotally$"}),
              0);
  }

  void StartSource(QStringList args, const QString& at = "600,600") {
    args << "--at" << at;
    source = std::make_unique<ChildProcess>(kSource, args, root.path());
    const auto ready = source->WaitFor([](const QString& l) { return l.startsWith("ready "); });
    ASSERT_TRUE(ready.has_value()) << source->Transcript();
    sourceCentre = PointIn(*ready, 1);
    ASSERT_EQ(ChildProcess::Run("xdotool",
                                {"search", "--sync", "--onlyvisible", "--name", "^drag source$"}),
              0);
  }

  // Presses on the source, drags to `to` and waits until the folder list has answered a
  // drag movement there.
  void DragTo(QPoint to) {
    MoveTo(sourceCentre);
    Xdo({"mousedown", "1"});
    for (int step = 1; !source->WaitFor([](const QString& l) { return l == "dragging"; }, 300);
         ++step) {
      ASSERT_LT(step, 30) << source->Transcript();
      MoveTo(sourceCentre + QPoint(step * 3, step * 3));
    }
    // Positions travel only with pointer motion; keep nudging until the target answered.
    for (int step = 0;
         !probe->WaitFor([](const QString& l) { return l.startsWith("answer over"); }, 300);
         ++step) {
      ASSERT_LT(step, 30) << probe->Transcript();
      MoveTo(to + QPoint(step % 2, 0));
    }
  }

  // Releases the button and gives back what the source was told in the end: the
  // target's last answer when it refused the drag, else its word after the drop.
  std::string Release() {
    Xdo({"mouseup", "1"});
    const auto result = source->WaitFor([](const QString& l) { return l.startsWith("result "); });
    EXPECT_TRUE(result.has_value()) << source->Transcript();
    if (!result || *result == "result none") return "none";
    const auto finished =
        source->WaitFor([](const QString& l) { return l.startsWith("finished "); });
    EXPECT_TRUE(finished.has_value()) << source->Transcript();
    return finished.value_or(QString()).mid(9).toStdString();
  }

  // Waits until the target has run its event loop once more after what came before.
  void Settle() {
    probe->Write("ping");
    ASSERT_TRUE(probe->WaitFor([](const QString& l) { return l == "pong"; }));
  }

  bool TargetSaid(const QString& prefix) const {
    return probe->Transcript().find("\n" + prefix.toStdString()) != std::string::npos;
  }
  int FolderLines() const {
    const std::string said = probe->Transcript();
    int count = 0;
    for (auto at = said.find("\nfolder "); at != std::string::npos;
         at = said.find("\nfolder ", at + 1))
      ++count;
    return count;
  }

  QPoint ListCentre() const { return listArea.center(); }

  QTemporaryDir root;
  std::unique_ptr<ChildProcess> probe;
  std::unique_ptr<ChildProcess> source;
  QRect listArea;
  QPoint sourceCentre;
};

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

TEST_F(DropE2E, DragRestingAtTheBottomEdgeOfALongListScrollsIt) {
  for (int i = 0; i < 40; ++i)
    QDir(root.path()).mkpath(QString("Long/Folder %1").arg(i, 2, 10, QChar('0')));
  StartTarget(root.filePath("Long"));
  StartSource({"--uri", Uri("Docs")});
  DragTo(QPoint(listArea.center().x(), listArea.bottom() - 4));
  // Held still: the list goes down one line at a time.
  EXPECT_TRUE(probe->WaitFor([](const QString& l) { return l == "scroll 2"; }))
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
