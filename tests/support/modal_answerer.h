// Answers modal boxes in widget tests: before the code under test opens a box, arm an
// answerer; it waits for the active modal widget, records its texts and presses a key or
// closes it, so no test ever hangs on a box.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <Qt>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace foliotally::test {

struct SeenBox {
  QString windowTitle;
  QString text;  // texts of every QLabel in the box, joined by "\n"
  QString className;
};

class ModalAnswerer {
 public:
  // `key` is pressed in each box (Qt::Key_Return by default); with `close` the box is
  // closed through its close box instead.
  explicit ModalAnswerer(Qt::Key key = Qt::Key_Return, bool close = false);
  ~ModalAnswerer();

  // Optional hook run on each box before it is answered (to inspect or act on it).
  void OnBox(std::function<void(QWidget*)> hook) { hook_ = std::move(hook); }
  const std::vector<SeenBox>& boxes() const { return boxes_; }
  int count() const { return static_cast<int>(boxes_.size()); }

 private:
  void Poll();
  Qt::Key key_;
  bool close_;
  std::unique_ptr<QObject> context_;  // pending polls die with it
  std::function<void(QWidget*)> hook_;
  std::vector<SeenBox> boxes_;
  QWidget* last_ = nullptr;
};

}  // namespace foliotally::test
