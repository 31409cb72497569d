// Real drags between the main window and a GTK file manager from the distribution (Thunar):
// a PDF dragged from it onto the file list, files dragged out of the file list into it, and
// a drop it offers while "Count All" runs. The pointer is moved by xdotool and held still
// while the two programs talk; the file manager's cursor is read from the X server. Run
// under xvfb-run with no window manager.
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>

#include "dragdrop/qt/e2e/drop_e2e_fixture.h"
#include "dragdrop/qt/e2e/gtk_file_manager.h"
#include "dragdrop/qt/e2e/x_screen.h"
#include "support/pdf_writer.h"

namespace foliotally::test {
namespace {

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FileManagerE2E : public DropE2E {
 protected:
  void SetUp() override {
    if (!GtkFileManager::Installed())
      GTEST_SKIP() << "Thunar or dbus-daemon is not installed (scripts/setup installs them): "
                      "the drags with a GTK file manager are not tried";
    DropE2E::SetUp();
    ASSERT_TRUE(screen.Open());
    QDir(root.path()).mkpath("Shelf");
  }

  void WritePdf(const QString& relative, int pages) {
    QFile file(root.filePath(relative));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(MakePdf(pages)));
  }

  // Starts the file manager on `relative` in a window of `size` right of the main window's
  // file list (the right-hand part of the window), on the wide screen of the run; its top
  // at `top`.
  void StartManager(const QString& relative, QSize size = {620, 460}, int top = 160) {
    const QRect frame(QPoint(areas["files"].right() + 40, top), size);
    ASSERT_TRUE(manager.Start(root.filePath(relative), frame)) << manager.Errors().toStdString();
  }

  bool WaitForLine(const QString& wanted, int timeout_ms = 15000) {
    return probe->WaitFor([&](const QString& l) { return l == wanted; }, timeout_ms).has_value();
  }

  // Waits, the pointer resting, until the pointer shows the cursor `name`; gives the last
  // cursor seen.
  std::string WaitForCursor(const std::string& name) {
    const QDeadlineTimer deadline(10000);
    std::string seen = screen.CursorName();
    while (seen != name && !deadline.hasExpired()) {
      QThread::msleep(20);
      seen = screen.CursorName();
    }
    return seen;
  }

  // Presses on the file manager's selection and drags it to `to` in short steps, as a
  // hand does; waits until the window has answered a drag movement there.
  void DragFromManagerTo(QPoint to) {
    const auto item = manager.SelectAll();
    ASSERT_TRUE(item.has_value()) << manager.Errors().toStdString();
    MoveTo(*item);
    Xdo({"mousedown", "1"});
    // Past GTK's drag threshold first, then on to the target.
    for (int step = 1; step <= 5; ++step) MoveTo(*item + QPoint(0, step * 4));
    const QPoint start = *item + QPoint(0, 20);
    for (int step = 1; step <= 20; ++step) MoveTo(start + (to - start) * step / 20);
    // The pointer rests at `to` until the window has answered.
    ASSERT_TRUE(probe->WaitFor([](const QString& l) { return l.startsWith("answer over"); }))
        << "cursor " << screen.CursorName() << probe->Transcript()
        << manager.Errors().toStdString();
  }

  // Where the file list shows `name` on the screen; empty when it does not.
  QRect RowOf(const QString& name) {
    const QStringList row =
        RowLines().filter(QRegularExpression("^row " + QRegularExpression::escape(name) + " "));
    const QStringList parts = row.value(0).split(' ');
    if (parts.size() != 7) return {};
    return QRect(parts[2].toInt(), parts[3].toInt(), parts[4].toInt(), parts[5].toInt());
  }

  // The names of the files the file list has selected.
  QStringList SelectedFiles() {
    QStringList names;
    for (const QString& line : RowLines()) {
      if (line.endsWith(" 1")) names << line.section(' ', 1, 1);
    }
    return names;
  }

  // The probe's "row" lines: each file the file list shows.
  QStringList RowLines() {
    probe->Write("rows");
    QStringList rows;
    for (;;) {
      const auto line = probe->WaitFor([](const QString& l) { return l.startsWith("row"); });
      if (!line || *line == "rows") return rows;
      rows << *line;
    }
  }

  // Waits until `path` holds `bytes`.
  static bool WaitForFile(const QString& path, const QByteArray& bytes) {
    const QDeadlineTimer deadline(15000);
    while (Contents(path) != bytes) {
      if (deadline.hasExpired()) return false;
      QThread::msleep(50);
    }
    return true;
  }

  GtkFileManager manager;
  XScreen screen;
};

TEST_F(FileManagerE2E, PdfDraggedFromItOntoTheFileListIsCountedAndStaysWhereItWas) {
  WritePdf("Shelf/report.pdf", 3);
  const QByteArray original = Contents(root.filePath("Shelf/report.pdf"));
  StartTarget(root.path());
  StartManager("Shelf");
  DragFromManagerTo(areas["files"].center());
  // Held still: the file manager shows that the window takes a copy.
  EXPECT_EQ(WaitForCursor("dnd-copy"), "dnd-copy");
  Xdo({"mouseup", "1"});
  EXPECT_TRUE(WaitForLine("folder " + Path("Shelf"))) << probe->Transcript();
  EXPECT_TRUE(WaitForLine("status report.pdf has 3 pages")) << probe->Transcript();
  EXPECT_EQ(SelectedFiles(), QStringList{"report.pdf"});
  Settle();
  // The answer is told once the drop's handling (the count) has ended.
  EXPECT_TRUE(TargetSaid("answer drop 1 copy")) << probe->Transcript();
  EXPECT_TRUE(Contents(root.filePath("Shelf/report.pdf")) == original) << "the original is gone";
  EXPECT_EQ(QDir(root.filePath("Shelf")).entryList(QDir::Files), QStringList{"report.pdf"});
}

TEST_F(FileManagerE2E, SelectedFilesDraggedOutLandInItsFolderAsCopies) {
  WritePdf("Scans/b.pdf", 3);
  WritePdf("Scans/c.pdf", 5);
  StartTarget(root.filePath("Scans"));
  StartManager("Shelf");
  // The file list holds a.pdf, b.pdf, c.pdf: b and c selected from the keyboard, then
  // dragged from b's row. (A press where the last click was would be a double click.)
  const QPoint a_row = RowOf("a.pdf").center();
  const QPoint b_row = RowOf("b.pdf").center();
  ASSERT_FALSE(a_row.isNull() || b_row.isNull()) << probe->Transcript();
  MoveTo(a_row);
  Xdo({"click", "1"});
  Xdo({"key", "Down", "shift+Down"});
  Settle();
  ASSERT_EQ(SelectedFiles(), (QStringList{"b.pdf", "c.pdf"})) << probe->Transcript();
  MoveTo(b_row);
  const QPoint to = manager.EmptySpot();
  Xdo({"mousedown", "1"});
  for (int step = 1; step <= 20; ++step) MoveTo(b_row + (to - b_row) * step / 20);
  // Held still: the drag's cursor shows that the file manager takes a copy.
  EXPECT_EQ(WaitForCursor("dnd-copy"), "dnd-copy");
  Xdo({"mouseup", "1"});
  for (const char* name : {"b.pdf", "c.pdf"}) {
    const QByteArray original = Contents(root.filePath(QString("Scans/") + name));
    EXPECT_TRUE(WaitForFile(root.filePath(QString("Shelf/") + name), original))
        << name << manager.Errors().toStdString();
    EXPECT_TRUE(Contents(root.filePath(QString("Scans/") + name)) == original)
        << "the original " << name << " is gone";
  }
  EXPECT_FALSE(QFile::exists(root.filePath("Shelf/a.pdf")));
}

TEST_F(FileManagerE2E, DropFromItDuringCountAllShowsTheNoCursorAndIsRefused) {
  for (int i = 0; i < 3; ++i) {
    QDir(root.path()).mkpath(QString("Tree/F%1").arg(i));
    WritePdf(QString("Tree/F%1/a.pdf").arg(i), 2);
  }
  WritePdf("Shelf/report.pdf", 3);
  const QString hold = root.filePath("hold");
  QFile(hold).open(QIODevice::WriteOnly);
  StartTarget(root.filePath("Tree"), {"--hold", hold});
  StartManager("Shelf");
  probe->Write("count");
  ASSERT_TRUE(probe->WaitFor([](const QString& l) { return l.startsWith("status Counting"); }))
      << probe->Transcript();
  DragFromManagerTo(areas["files"].center());
  EXPECT_EQ(WaitForCursor("dnd-none"), "dnd-none");
  EXPECT_TRUE(TargetSaid("answer over 0 none")) << probe->Transcript();
  Xdo({"mouseup", "1"});
  QFile::remove(hold);
  EXPECT_TRUE(
      probe->WaitFor([](const QString& l) { return l.startsWith("status Counted"); }, 60000))
      << probe->Transcript();
  Settle();
  EXPECT_FALSE(TargetSaid("folder " + Path("Shelf"))) << probe->Transcript();
  EXPECT_TRUE(QFile::exists(root.filePath("Shelf/report.pdf")));
}

}  // namespace
}  // namespace foliotally::test

namespace foliotally::test {
namespace {

// Not a check of behaviour: a picture of PDF files dragged from the file manager, resting
// over the file list, for the documentation. Saved as file-manager-drop.png next to the
// test program.
TEST_F(FileManagerE2E, PictureOfADragFromTheFileManager) {
  for (const char* name : {"Invoices 2025", "Letters", "Manuals", "Reports", "Scans"})
    QDir(root.path()).mkpath(QString("Archive/") + name);
  WritePdf("Archive/handbook.pdf", 12);
  WritePdf("Archive/price-list.pdf", 2);
  WritePdf("Shelf/contract.pdf", 4);
  WritePdf("Shelf/invoice-0412.pdf", 2);
  WritePdf("Shelf/quote-0413.pdf", 1);
  MoveTo(QPoint(200, 900));  // out of the way of both windows
  StartTarget(root.filePath("Archive"));
  StartManager("Shelf", {470, 330}, listArea.top() - 20);
  DragFromManagerTo(areas["files"].center() + QPoint(0, 40));
  EXPECT_EQ(WaitForCursor("dnd-copy"), "dnd-copy");
  const QString picture = QString(DROP_PICTURE_FOLDER) + "/file-manager-drop.png";
  // Both windows: the main window's from its folder list's left to the file manager's right.
  const QRect both(listArea.topLeft() - QPoint(20, 30),
                   QPoint(areas["files"].right() + 40 + 470, areas["log"].bottom() + 170));
  probe->Write(QString("shot %1 %2 %3 %4 %5")
                   .arg(picture)
                   .arg(both.x())
                   .arg(both.y())
                   .arg(both.width())
                   .arg(both.height()));
  EXPECT_TRUE(probe->WaitFor([](const QString& l) { return l == "shot"; })) << probe->Transcript();
  // Let go over the bare screen, where nothing takes drops.
  MoveTo(QPoint(200, 900));
  Xdo({"mouseup", "1"});
}

}  // namespace
}  // namespace foliotally::test
