#include "dragdrop/qt/win_control_proxy.h"

#include <QDropEvent>

#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/qt/drag_event_translation.h"
#include "dragdrop/qt/qt_drop_platform.h"
#include "dragdrop/target/drop_effects.h"

namespace foliotally::dragdrop {

TDropEventForwarder::TDropEventForwarder(QWidget* control, IDropTarget& target,
                                         TQtDropPlatform& platform)
    : QObject(control), control_(control), target_(target), platform_(platform) {
  Register();
}

TDropEventForwarder::~TDropEventForwarder() { Revoke(); }

void TDropEventForwarder::Register() {
  if (!control_) return;
  dropArea_ = DropAreaOf(control_);
  acceptedDropsBefore_ = dropArea_->acceptDrops();
  takesDropsItself_ = acceptedDropsBefore_ || control_->acceptDrops();
  dropArea_->setAcceptDrops(true);
  dropArea_->installEventFilter(this);
  window_ = control_->internalWinId();
}

void TDropEventForwarder::Revoke() {
  if (dropArea_) {
    dropArea_->removeEventFilter(this);
    dropArea_->setAcceptDrops(acceptedDropsBefore_);
  }
  dropArea_ = nullptr;
  window_ = 0;
}

bool TDropEventForwarder::eventFilter(QObject* watched, QEvent* event) {
  if (watched != dropArea_) return false;
  if (passedOn_) return PassOn(event->type());
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return Forward(static_cast<QDropEvent*>(event), event->type());
    case QEvent::DragLeave:
      target_.DragLeave();
      dataObject_.reset();
      return true;
    default:
      return false;
  }
}

// A drag the target refused over a control that takes drops of its own (a text editor
// takes text) is the control's, from its enter to its leave or drop.
bool TDropEventForwarder::PassOn(QEvent::Type type) {
  if (type == QEvent::DragLeave || type == QEvent::Drop) passedOn_ = false;
  return false;
}

// One drag event as one drag call. The enter is always taken, so that the drag keeps
// reporting its moves here; whether the data may be dropped is told by the answer.
bool TDropEventForwarder::Forward(QDropEvent* event, QEvent::Type type) {
  const QPoint local = event->position().toPoint();
  const TPoint screen = ToPoint(dropArea_->mapToGlobal(local));
  const uint32_t keys = KeyStateOf(event->buttons(), event->modifiers());
  uint32_t effect = EffectsOf(event->possibleActions());
  QWidget* under = dropArea_->childAt(local);
  platform_.SetPointerWidget(under != nullptr ? under : dropArea_.data());
  if (type == QEvent::DragEnter || !dataObject_) {
    const uint16_t performed_id = TPerformedDropEffectClipboardFormat().FormatEtc().cfFormat;
    dataObject_ = std::make_shared<TMimeDataObject>(
        event->mimeData(), EffectsOf(event->proposedAction()),
        [this, performed_id](uint16_t id, uint32_t value) {
          if (!inDrop_ || id != performed_id) return false;
          performed_ = value;
          return true;
        },
        TMimeDataObject::TNameSources::Drag, platform_.ItemsWanted());
  }
  HResult result = E_UNEXPECTED;
  if (type == QEvent::DragEnter) {
    result = target_.DragEnter(dataObject_, keys, screen, effect);
  } else if (type == QEvent::DragMove) {
    result = target_.DragOver(keys, screen, effect);
  } else {
    performed_.reset();
    inDrop_ = true;
    result = target_.Drop(dataObject_, keys, screen, effect);
    inDrop_ = false;
    // The value written as "Performed DropEffect" is what the source is told.
    if (performed_ && (effect & ~DROPEFFECT_SCROLL) != DROPEFFECT_NONE) effect = *performed_;
    dataObject_.reset();
  }
  platform_.SetPointerWidget(nullptr);
  if (type == QEvent::DragEnter && takesDropsItself_ &&
      (Failed(result) || (effect & ~DROPEFFECT_SCROLL) == DROPEFFECT_NONE)) {
    target_.DragLeave();
    dataObject_.reset();
    passedOn_ = true;
    return false;
  }
  const Qt::DropAction action = Succeeded(result) ? ActionOf(effect) : Qt::IgnoreAction;
  event->setDropAction(action);
  event->setAccepted(type == QEvent::DragEnter || action != Qt::IgnoreAction);
  return true;
}

TWinControlProxy::TWinControlProxy(QWidget* control, const void* owner, IDropTarget& target,
                                   TQtDropPlatform& platform)
    : TDropEventForwarder(control, target, platform), owner_(owner) {
  control->installEventFilter(this);
}

// A new native window for the control: the registration moves to it.
bool TWinControlProxy::eventFilter(QObject* watched, QEvent* event) {
  if (watched == control_ && event->type() == QEvent::WinIdChange) {
    Revoke();
    Register();
    return false;
  }
  return TDropEventForwarder::eventFilter(watched, event);
}

}  // namespace foliotally::dragdrop
