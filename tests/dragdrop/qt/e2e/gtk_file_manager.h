// A GTK file manager (Thunar) as the other side of real drags: it shows one folder in a
// window placed where the test says, with a home, a configuration and a D-Bus session of
// its own, so that it never reads or writes the user's.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "dragdrop/qt/e2e/child_process.h"
#include "dragdrop/qt/e2e/x_screen.h"

namespace foliotally::test {

class GtkFileManager {
 public:
  // Whether the file manager, its settings daemon and a D-Bus daemon to run them under are
  // installed.
  static bool Installed();

  // Starts it on `folder` (a name without regular-expression characters) and waits until
  // its window is shown at `frame`; false when it did not come up (see Errors()).
  bool Start(const QString& folder, const QRect& frame);
  // Selects every item it shows and gives the middle of the selection as the screen shows
  // it; nothing when no selection appeared.
  std::optional<QPoint> SelectAll();
  // A point of its folder view where nothing is shown: a drop there goes into the folder.
  QPoint EmptySpot() const { return frame_.bottomRight() - QPoint(70, 70); }
  // What it and its D-Bus session wrote on standard error.
  QString Errors() const;

 private:
  QTemporaryDir home_;
  QRect frame_;
  // Members end in reverse order: the file manager first, then its settings daemon, then
  // the bus, and the home last.
  std::unique_ptr<ChildProcess> bus_;
  std::unique_ptr<ChildProcess> settings_;
  std::unique_ptr<ChildProcess> manager_;
  XScreen screen_;
};

}  // namespace foliotally::test
