// What every modal box does around its nested message loop: end a mouse grab, show the
// arrow cursor, and give the activation and the focus back when it closes.
#pragma once

#include <QPointer>
#include <QWidget>

namespace foliotally {

class ModalSession {
 public:
  ModalSession();
  ~ModalSession();
  ModalSession(const ModalSession&) = delete;
  ModalSession& operator=(const ModalSession&) = delete;

 private:
  QPointer<QWidget> activeWindow_;
  QPointer<QWidget> focus_;
};

// Ends any mouse or keyboard grab so a button held down is released.
void CancelMouseGrab();

}  // namespace foliotally
