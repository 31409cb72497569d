// Dragging the files selected in the file list out to another program (a file manager,
// an e-mail): offered as a text/uri-list, as a copy only, so nothing is ever moved or
// deleted.
#pragma once

#include <QObject>
#include <QPoint>
#include <string>
#include <vector>

class QMimeData;

namespace foliotally {

class TFileListBox;

// The drag's data: one file: address per path, each line ending in CR LF.
QMimeData* FileDragData(const std::vector<std::string>& paths);

// Watches the list's presses and moves; a move past the start distance with the left
// button held drags the selected files.
class FileDragOut : public QObject {
 public:
  explicit FileDragOut(TFileListBox& list);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<std::string> SelectedPaths() const;

  TFileListBox& list_;
  QPoint pressedAt_;
  bool pressed_ = false;
};

}  // namespace foliotally
