#include "messages/modal_session.h"

#include <QApplication>
#include <QCursor>

namespace foliotally {

void CancelMouseGrab() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  if (QWidget* grabber = QWidget::keyboardGrabber()) grabber->releaseKeyboard();
}

ModalSession::ModalSession()
    : activeWindow_(QApplication::activeWindow()), focus_(QApplication::focusWidget()) {
  CancelMouseGrab();
  QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
}

ModalSession::~ModalSession() {
  QApplication::restoreOverrideCursor();
  if (activeWindow_ && activeWindow_->isVisible()) activeWindow_->activateWindow();
  if (focus_ && focus_->isVisible()) focus_->setFocus(Qt::OtherFocusReason);
}

}  // namespace foliotally
