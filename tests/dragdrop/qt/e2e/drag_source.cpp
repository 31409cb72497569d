// A drag source for the end-to-end drop tests: a small window at a chosen place that starts
// one drag with the data named on its command line as soon as the pointer moves with the
// left button held. It reports on standard output, one line each:
//   ready X Y        the window is shown; X Y is its centre on the screen
//   dragging         the drag has started
//   action NAME      the target's answer changed (none, copy, move, link)
//   result NAME      the drag loop ended; NAME is the target's last answer before the
//                    button came up
//   finished NAME    the target's final word after a drop (XdndFinished): the action it
//                    carried out, none when it refused the drop
//   clipboard        the clipboard holds what --clip and --clip-file named
//   offered ACTIONS  a drag from elsewhere entered; the actions its source allows
//   dropped ACTION LIST  something was dropped here (taken as the source's proposed
//                    action); LIST is its text/uri-list with line ends as spaces
// The program stays up after the drag so that the target can still fetch the data.
//
// Options: --uri URI (repeatable), --text TEXT, --data MIME=VALUE and --data-file MIME=FILE
// (repeatable: VALUE or FILE's bytes under MIME),
// --actions copy,move,link (default all three), --at X,Y (default 40,40),
// --clip MIME=VALUE and --clip-file MIME=FILE (repeatable): this program owns the
// clipboard, with VALUE or FILE's bytes under MIME; --accept 1: drops are taken here.
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "dragdrop/qt/e2e/report_line.h"

namespace {

using foliotally::test::ActionName;

void Say(const QString& line) { foliotally::test::Say(line.toStdString()); }

struct DragRequest {
  QList<QUrl> uris;
  QString text;
  bool hasText = false;
  QList<QPair<QString, QByteArray>> extra;
  QList<QPair<QString, QByteArray>> clip;
  Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  QPoint at{40, 40};
  bool accept = false;
};

Qt::DropActions ParseActions(const QString& list) {
  Qt::DropActions actions;
  for (const QString& name : list.split(',', Qt::SkipEmptyParts)) {
    if (name == "copy") actions |= Qt::CopyAction;
    if (name == "move") actions |= Qt::MoveAction;
    if (name == "link") actions |= Qt::LinkAction;
  }
  return actions;
}

// MIME=VALUE, or MIME=FILE when `fromFile`: the type and the bytes to offer under it.
QPair<QString, QByteArray> TypeAndBytes(const QString& value, bool fromFile) {
  const qsizetype eq = value.indexOf('=');
  QByteArray bytes = value.mid(eq + 1).toUtf8();
  if (fromFile) {
    QFile file(value.mid(eq + 1));
    bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  return {value.left(eq), bytes};
}

DragRequest ParseArguments(const QStringList& args) {
  DragRequest request;
  for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
    const QString& option = args[i];
    const QString& value = args[i + 1];
    if (option == "--uri") request.uris.append(QUrl(value));
    if (option == "--text") {
      request.text = value;
      request.hasText = true;
    }
    if (option == "--data" || option == "--data-file")
      request.extra.append(TypeAndBytes(value, option.endsWith("-file")));
    if (option == "--clip" || option == "--clip-file")
      request.clip.append(TypeAndBytes(value, option.endsWith("-file")));
    if (option == "--accept") request.accept = value == "1";
    if (option == "--actions") request.actions = ParseActions(value);
    if (option == "--at") {
      const QStringList xy = value.split(',');
      request.at = QPoint(xy.value(0).toInt(), xy.value(1).toInt());
    }
  }
  return request;
}

class DragHandle : public QLabel {
 public:
  explicit DragHandle(DragRequest request) : QLabel("drag me"), request_(std::move(request)) {
    setAlignment(Qt::AlignCenter);
    setStyleSheet("background: #fc6; border: 2px solid #a60;");
    setWindowTitle("drag source");
    setGeometry(request_.at.x(), request_.at.y(), 120, 80);
    setAcceptDrops(request_.accept);
  }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override {
    QStringList actions;
    for (Qt::DropAction action : {Qt::CopyAction, Qt::MoveAction, Qt::LinkAction})
      if (event->possibleActions() & action) actions << ActionName(action);
    Say("offered " + actions.join(','));
    event->acceptProposedAction();
  }
  void dragMoveEvent(QDragMoveEvent* event) override { event->acceptProposedAction(); }
  void dropEvent(QDropEvent* event) override {
    event->acceptProposedAction();
    const QByteArray list = event->mimeData()->data("text/uri-list").trimmed();
    Say(QString("dropped ") + ActionName(event->dropAction()) + " " +
        QString::fromLatin1(list).replace("\r\n", " "));
  }

  void showEvent(QShowEvent* event) override {
    QLabel::showEvent(event);
    // Reported once the window system has had a turn, so that the window is mapped.
    QTimer::singleShot(0, this, [this] {
      const QPoint centre = mapToGlobal(rect().center());
      Say(QString("ready %1 %2").arg(centre.x()).arg(centre.y()));
      if (!request_.clip.isEmpty()) {
        auto* data = new QMimeData;
        for (const auto& [type, bytes] : request_.clip) data->setData(type, bytes);
        QGuiApplication::clipboard()->setMimeData(data);
        Say("clipboard");
      }
    });
  }

  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton) || started_) return;
    started_ = true;
    StartDrag();
  }

 private:
  void StartDrag() {
    auto* data = new QMimeData;
    if (!request_.uris.isEmpty()) data->setUrls(request_.uris);
    if (request_.hasText) data->setText(request_.text);
    for (const auto& [type, bytes] : request_.extra) data->setData(type, bytes);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    // On X11 the source draws the drag image itself: a tag with what is dragged.
    drag->setPixmap(DragImage());
    drag->setHotSpot(QPoint(-12, -12));
    QObject::connect(drag, &QDrag::actionChanged, this,
                     [](Qt::DropAction a) { Say(QString("action ") + ActionName(a)); });
    Say("dragging");
    const Qt::DropAction result = drag->exec(request_.actions);
    Say(QString("result ") + ActionName(result));
  }

  QPixmap DragImage() const {
    QStringList names;
    for (const QUrl& url : request_.uris) names << url.fileName();
    QLabel tag(names.isEmpty() ? request_.text : names.join(", "));
    tag.setStyleSheet("background: #dde8ff; border: 1px solid #4060a0; padding: 3px;");
    tag.adjustSize();
    return tag.grab();
  }

  DragRequest request_;
  bool started_ = false;
};

// Reads the target's XdndFinished message, which Qt does not pass on to the drag's owner.
class FinishedWatch : public QAbstractNativeEventFilter {
 public:
  FinishedWatch() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    connection_ = x11 != nullptr ? x11->connection() : nullptr;
    finished_ = Atom("XdndFinished");
    actions_ = {{Atom("XdndActionCopy"), "copy"},
                {Atom("XdndActionMove"), "move"},
                {Atom("XdndActionLink"), "link"}};
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t" || finished_ == XCB_NONE) return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
    auto* client = reinterpret_cast<xcb_client_message_event_t*>(event);
    if (client->type != finished_) return false;
    const bool accepted = (client->data.data32[1] & 1) != 0;
    const auto action = actions_.find(client->data.data32[2]);
    Say(QString("finished ") + (accepted && action != actions_.end() ? action->second : "none"));
    return false;
  }

 private:
  xcb_atom_t Atom(const char* name) {
    if (connection_ == nullptr) return XCB_NONE;
    auto cookie = xcb_intern_atom(connection_, 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
  }

  xcb_connection_t* connection_ = nullptr;
  xcb_atom_t finished_ = XCB_NONE;
  std::map<xcb_atom_t, const char*> actions_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  FinishedWatch watch;
  app.installNativeEventFilter(&watch);
  DragHandle handle(ParseArguments(QCoreApplication::arguments()));
  handle.show();
  return app.exec();
}
