#include "main_window/file_drag_out.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

#include "dragdrop/formats/file_uri.h"
#include "folder_browser/file_list_box.h"
#include "folder_browser/path_functions.h"

namespace foliotally {

QMimeData* FileDragData(const std::vector<std::string>& paths) {
  QByteArray list;
  for (const std::string& path : paths) list += dragdrop::FileUriOf(path) + "\r\n";
  auto* data = new QMimeData;
  data->setData("text/uri-list", list);
  return data;
}

FileDragOut::FileDragOut(TFileListBox& list) : QObject(&list), list_(list) {
  list_.viewport()->installEventFilter(this);
}

std::vector<std::string> FileDragOut::SelectedPaths() const {
  std::vector<std::string> paths;
  const int count = list_.Count();
  for (int i = 0; i < count; ++i) {
    if (list_.Selected(i)) paths.push_back(JoinFolderAndName(list_.Directory(), list_.Items(i)));
  }
  return paths;
}

bool FileDragOut::eventFilter(QObject* watched, QEvent* event) {
  if (watched != list_.viewport()) return false;
  if (event->type() == QEvent::MouseButtonPress) {
    const auto* press = static_cast<QMouseEvent*>(event);
    pressed_ = press->button() == Qt::LeftButton;
    pressedAt_ = press->position().toPoint();
    return false;
  }
  if (event->type() == QEvent::MouseButtonRelease) pressed_ = false;
  if (event->type() != QEvent::MouseMove || !pressed_) return false;
  const auto* move = static_cast<QMouseEvent*>(event);
  if (!(move->buttons() & Qt::LeftButton) ||
      (move->position().toPoint() - pressedAt_).manhattanLength() <
          QApplication::startDragDistance())
    return false;
  pressed_ = false;
  const std::vector<std::string> paths = SelectedPaths();
  if (paths.empty()) return false;
  auto* drag = new QDrag(&list_);
  drag->setMimeData(FileDragData(paths));
  drag->exec(Qt::CopyAction, Qt::CopyAction);
  return true;
}

}  // namespace foliotally
