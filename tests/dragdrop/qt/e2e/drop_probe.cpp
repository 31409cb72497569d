// The program's main window with a voice: for the end-to-end drop tests it reports on
// standard output what a user would see, one line each:
//   list X Y W H     the folder list's drop area on the screen
//   area NAME X Y W H  another part of the window on the screen (files, log)
//   folder PATH      the folder the list shows (at start and after every change)
//   status TEXT      the status bar's text, at every change
//   scroll N         the folder list scrolled to N
//   answer KIND ACCEPTED ACTION   how the window answered a drag event over the folder
//                    list, the log or the rest of the window (KIND enter, over or drop;
//                    ACCEPTED 1 or 0)
//   window TITLE     some other window appeared (an error box, say)
//   pong             answer to a "ping" line on standard input
//   shot             answer to "shot PATH": the screen around the window is saved there;
//                    to "shot PATH X Y W H": that part of the screen
//   log TEXT         answer to "log": the log's text, line breaks written as \n
//   gap MS           answer to "gap": the longest time the window went without handling
//                    events since the last "gap" (a timer asks every 2 ms)
//   row NAME X Y W H SELECTED  answer to "rows": each file the file list shows, where it
//                    is on the screen, and 1 when it is selected; "rows" ends the answer
// Other lines on standard input: "count" clicks Count All, "paste" pastes as Ctrl+V does.
// With --hold FILE each file counted takes until FILE is gone, the window answering
// meanwhile, as a long count does. The window starts in the process's working folder.
#include <unistd.h>

#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>

#include "dragdrop/qt/e2e/report_line.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/file_list_box.h"
#include "main_window/main_window.h"
#include "main_window/results_log/rich_edit_log.h"
#include "messages/application.h"
#include "pagecount/foliotally.h"

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
  std::vector<QWidget*> dropAreas;
  QWidget* mainWindow = nullptr;

  bool notify(QObject* receiver, QEvent* event) override {
    const QEvent::Type type = event->type();
    const bool handled = TApplication::notify(receiver, event);
    const char* kind = DragKind(type);
    if (kind != nullptr &&
        std::find(dropAreas.begin(), dropAreas.end(), receiver) != dropAreas.end()) {
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

// Counts as the library does, once FILE (when given) is gone; the window handles its
// events meanwhile.
foliotally::TfrmMainServices ServicesFor(const QStringList& args) {
  foliotally::TfrmMainServices services;
  const qsizetype hold = args.indexOf("--hold");
  if (hold < 0 || hold + 1 >= args.size()) return services;
  services.pageCounter = [file = args[hold + 1]](const std::string& path) {
    while (QFile::exists(file)) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return GetFoliotally(path.c_str());
  };
  return services;
}

std::string Area(const char* name, QWidget* widget) {
  const QRect area(widget->mapToGlobal(QPoint(0, 0)), widget->size());
  return std::string(name) + " " + std::to_string(area.x()) + " " + std::to_string(area.y()) + " " +
         std::to_string(area.width()) + " " + std::to_string(area.height());
}

// The longest time between two turns of the event loop, asked every 2 ms.
class GapWatch {
 public:
  GapWatch() {
    timer_.setInterval(2);
    QObject::connect(&timer_, &QTimer::timeout,
                     [this] { longest_ = std::max(longest_, clock_.restart()); });
    clock_.start();
    timer_.start();
  }
  qint64 TakeLongest() {
    const qint64 longest = std::max(longest_, clock_.elapsed());
    longest_ = 0;
    return longest;
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 longest_ = 0;
};

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

// A folder's bytes as they are: ASCII as itself, every other byte as \xHH, so that a name
// that is not valid UTF-8 is told apart from one with U+FFFD in its place.
std::string BytesOf(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

void SayRows(foliotally::TFileListBox& files) {
  for (int row = 0; row < files.model()->rowCount(files.rootIndex()); ++row) {
    const QModelIndex index = files.model()->index(row, 0, files.rootIndex());
    const QRect rect = files.visualRect(index);
    if (rect.isEmpty()) continue;
    const QPoint at = files.viewport()->mapToGlobal(rect.topLeft());
    std::string line = "row ";
    line += index.data().toString().toStdString();
    for (int value : {at.x(), at.y(), rect.width(), rect.height()}) {
      line += ' ';
      line += std::to_string(value);
    }
    line += files.selectionModel()->isSelected(index) ? " 1" : " 0";
    Say(line);
  }
  Say("rows");
}

void HandleLine(const std::string& line, foliotally::TfrmMain& window, GapWatch& gaps) {
  if (line == "ping") {
    Say("pong");
  } else if (line == "count") {
    QTimer::singleShot(0, window.btnCountAll, &QPushButton::click);
  } else if (line == "paste") {
    QTimer::singleShot(0, &window, [&window] { window.DirectoryListBoxPaste(); });
  } else if (line == "log") {
    Say("log " + Escaped(window.RichEditLog->LogText()));
  } else if (line == "gap") {
    Say("gap " + std::to_string(gaps.TakeLongest()));
  } else if (line == "rows") {
    SayRows(*window.FileListBox);
  } else if (line.rfind("shot ", 0) == 0) {
    // The path may hold spaces: the area, when given, is the last four words.
    QString path = QString::fromStdString(line.substr(5));
    QRect frame = window.frameGeometry().adjusted(-8, -8, 8, 8);
    static const QRegularExpression kArea(" (\\d+) (\\d+) (\\d+) (\\d+)$");
    if (const QRegularExpressionMatch area = kArea.match(path); area.hasMatch()) {
      frame = QRect(area.captured(1).toInt(), area.captured(2).toInt(), area.captured(3).toInt(),
                    area.captured(4).toInt());
      path.truncate(area.capturedStart());
    }
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
        0, frame.x(), frame.y(), frame.width(), frame.height());
    Say(shot.save(path, "PNG") ? "shot" : "shot failed");
  }
}

}  // namespace

int main(int argc, char** argv) {
  ProbeApplication app(argc, argv);
  foliotally::TfrmMain window("", ServicesFor(QCoreApplication::arguments()));
  auto* list = window.DirectoryListBox;
  app.dropAreas = {list->viewport(), window.RichEditLog->viewport(), &window};
  app.mainWindow = &window;
  GapWatch gaps;
  QObject::connect(list, &foliotally::TDirectoryListBox::OnChange, list,
                   [list] { Say("folder " + BytesOf(list->Directory())); });
  QObject::connect(window.StatusBar, &QStatusBar::messageChanged, &window,
                   [](const QString& text) { Say("status " + text.toStdString()); });
  QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, list,
                   [](int value) { Say("scroll " + std::to_string(value)); });
  QSocketNotifier input(0, QSocketNotifier::Read);
  std::string pending;
  QObject::connect(
      &input, &QSocketNotifier::activated, &window, [&input, &window, &gaps, &pending] {
        // Read as it comes: several lines may arrive at once, and the notifier
        // fires only for bytes not yet read.
        char bytes[4096];
        const ssize_t got = ::read(0, bytes, sizeof bytes);
        if (got <= 0) {
          input.setEnabled(false);
          QCoreApplication::quit();
          return;
        }
        pending.append(bytes, static_cast<size_t>(got));
        for (size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
          const std::string line = pending.substr(0, end);
          pending.erase(0, end + 1);
          HandleLine(line, window, gaps);
        }
      });
  window.show();
  QTimer::singleShot(0, &window, [list, &window] {
    Say("folder " + BytesOf(list->Directory()));
    Say(Area("area files", window.FileListBox->viewport()));
    Say(Area("area log", window.RichEditLog->viewport()));
    Say(Area("list", list->viewport()));
  });
  return app.exec();
}
