// The fixture of the end-to-end drop tests: the main window with a voice (drop_probe) and
// a drag source (drag_source) as two processes on the X server of the run, the real
// pointer moved by xdotool.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPoint>
#include <QRect>
#include <QTemporaryDir>
#include <QUrl>
#include <map>
#include <memory>
#include <string>

#include "dragdrop/qt/e2e/child_process.h"

namespace foliotally::test {

// Where the two programs were built; set by the build.
inline const QString kSource = QStringLiteral(DRAG_SOURCE_PROGRAM);
inline const QString kProbe = QStringLiteral(DROP_PROBE_PROGRAM);

inline void Xdo(const QStringList& args) {
  ASSERT_EQ(ChildProcess::Run("xdotool", args), 0) << args.join(' ').toStdString();
}

inline void MoveTo(QPoint p) { Xdo({"mousemove", QString::number(p.x()), QString::number(p.y())}); }

inline QPoint PointIn(const QString& line, int first) {
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
  void StartTarget(const QString& folder, const QStringList& args = {}) {
    probe = std::make_unique<ChildProcess>(kProbe, args, folder);
    const auto line = probe->WaitFor([](const QString& l) { return l.startsWith("list "); });
    ASSERT_TRUE(line.has_value()) << probe->Transcript();
    for (const char* name : {"files", "log"}) {
      const QString said = QString::fromStdString(probe->Transcript());
      const qsizetype at = said.indexOf(QString("\narea ") + name + " ");
      ASSERT_GE(at, 0) << probe->Transcript();
      const QStringList area = said.mid(at + 1).section('\n', 0, 0).split(' ');
      areas[name] = QRect(area[2].toInt(), area[3].toInt(), area[4].toInt(), area[5].toInt());
    }
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
    // Past the drag threshold in short steps, then on to `to`, where the pointer rests.
    for (int step = 1; step <= 10; ++step) MoveTo(sourceCentre + QPoint(step * 3, step * 3));
    ASSERT_TRUE(source->WaitFor([](const QString& l) { return l == "dragging"; }))
        << source->Transcript();
    const QPoint start = sourceCentre + QPoint(30, 30);
    for (int step = 1; step <= 10; ++step) MoveTo(start + (to - start) * step / 10);
    ASSERT_TRUE(probe->WaitFor([](const QString& l) { return l.startsWith("answer over"); }))
        << probe->Transcript();
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
  std::map<std::string, QRect> areas;  // "files", "log"
  QPoint sourceCentre;
};

}  // namespace foliotally::test
