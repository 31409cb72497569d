// The program's main window with a voice: for the end-to-end drop tests it reports on
// standard output what a user would see, one line each:
//   list X Y W H     the folder list's drop area on the screen
//   folder PATH      the folder the list shows (at start and after every change)
//   scroll N         the folder list scrolled to N
//   answer KIND ACCEPTED ACTION   how the folder list answered a drag event
//                    (KIND enter, over or drop; ACCEPTED 1 or 0)
//   window TITLE     some other window appeared (an error box, say)
//   pong             answer to a "ping" line on standard input
//   shot             answer to "shot PATH": the screen around the window is saved there
// The window starts in the process's working folder.
#include <QDropEvent>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <string>

#include "dragdrop/qt/e2e/report_line.h"
#include "folder_browser/directory_list_box.h"
#include "main_window/main_window.h"
#include "messages/application.h"

namespace {

using foliotally::test::ActionName;
using foliotally::test::Say;

const char* DragKind(QEvent::Type type) {
  switch (type) {
    case QEvent::DragEnter:
      return "enter";
    case QEvent::DragMove:
      return "over";
    case QEvent::Drop:
      return "drop";
    default:
      return nullptr;
  }
}

// Reports the folder list's answer to each drag event after the window has handled it.
class ProbeApplication : public foliotally::TApplication {
 public:
  using TApplication::TApplication;
  QWidget* dropArea = nullptr;
  QWidget* mainWindow = nullptr;

  bool notify(QObject* receiver, QEvent* event) override {
    const QEvent::Type type = event->type();
    const bool handled = TApplication::notify(receiver, event);
    const char* kind = DragKind(type);
    if (kind != nullptr && receiver == dropArea) {
      auto* drop = static_cast<QDropEvent*>(event);
      Say(std::string("answer ") + kind + (drop->isAccepted() ? " 1 " : " 0 ") +
          ActionName(drop->dropAction()));
    }
    if (type == QEvent::Show && receiver->isWidgetType()) {
      auto* widget = static_cast<QWidget*>(receiver);
      if (widget->isWindow() && widget != mainWindow)
        Say("window " + widget->windowTitle().toStdString());
    }
    return handled;
  }
};

}  // namespace

int main(int argc, char** argv) {
  ProbeApplication app(argc, argv);
  foliotally::TfrmMain window("");
  auto* list = window.DirectoryListBox;
  app.dropArea = list->viewport();
  app.mainWindow = &window;
  QObject::connect(list, &foliotally::TDirectoryListBox::OnChange, list,
                   [list] { Say("folder " + list->Directory()); });
  QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, list,
                   [](int value) { Say("scroll " + std::to_string(value)); });
  QSocketNotifier input(0, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, &window, [&input, &window] {
    std::string line;
    if (!std::getline(std::cin, line)) {
      input.setEnabled(false);
      QCoreApplication::quit();
    } else if (line == "ping") {
      Say("pong");
    } else if (line.rfind("shot ", 0) == 0) {
      const QRect frame = window.frameGeometry().adjusted(-8, -8, 8, 8);
      const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
          0, frame.x(), frame.y(), frame.width(), frame.height());
      Say(shot.save(QString::fromStdString(line.substr(5)), "PNG") ? "shot" : "shot failed");
    }
  });
  window.show();
  QTimer::singleShot(0, &window, [list] {
    const QRect area(list->viewport()->mapToGlobal(QPoint(0, 0)), list->viewport()->size());
    Say("folder " + list->Directory());
    Say("list " + std::to_string(area.x()) + " " + std::to_string(area.y()) + " " +
        std::to_string(area.width()) + " " + std::to_string(area.height()));
  });
  return app.exec();
}
