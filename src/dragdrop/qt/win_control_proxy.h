// TWinControlProxy: the helper child a drop target gives each control it registers. It
// makes the control's drop area deliver Qt's drag events as the four drag calls, and
// follows the control when its native window is recreated. Destroying it (or the control)
// ends the registration. Without a proxy the same forwarding is set up once, directly.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

#include "dragdrop/qt/mime_data_object.h"
#include "dragdrop/target/drop_platform.h"

class QDropEvent;

namespace foliotally::dragdrop {

class TQtDropPlatform;

// Forwards the drag events of one control's drop area to a drop target.
class TDropEventForwarder : public QObject {
  Q_OBJECT

 public:
  TDropEventForwarder(QWidget* control, IDropTarget& target, TQtDropPlatform& platform);
  ~TDropEventForwarder() override;

  QWidget* Control() const { return control_; }
  // The native window the registration was last made for (0 while the control has none).
  WId RegisteredWindow() const { return window_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  QPointer<QWidget> control_;
  // Makes the drop area deliver drag events here, and stops it.
  void Register();
  void Revoke();

 private:
  bool Forward(QDropEvent* event, QEvent::Type type);
  bool PassOn(QEvent::Type type);

  QPointer<QWidget> dropArea_;
  IDropTarget& target_;
  TQtDropPlatform& platform_;
  bool acceptedDropsBefore_ = false;
  bool takesDropsItself_ = false;
  bool passedOn_ = false;
  WId window_ = 0;
  std::shared_ptr<TMimeDataObject> dataObject_;
  std::optional<uint32_t> performed_;
  bool inDrop_ = false;
};

class TWinControlProxy : public TDropEventForwarder {
  Q_OBJECT

 public:
  TWinControlProxy(QWidget* control, const void* owner, IDropTarget& target,
                   TQtDropPlatform& platform);
  const void* Owner() const { return owner_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const void* owner_;
};

}  // namespace foliotally::dragdrop
