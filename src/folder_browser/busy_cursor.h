// Shows the busy cursor from the moment Engage is called until the scope ends, also when an
// error leaves it; the cursor shown before comes back.
#pragma once

#include <QGuiApplication>

namespace foliotally {

class BusyCursorScope {
 public:
  BusyCursorScope() = default;
  ~BusyCursorScope() {
    if (engaged_) QGuiApplication::restoreOverrideCursor();
  }
  BusyCursorScope(const BusyCursorScope&) = delete;
  BusyCursorScope& operator=(const BusyCursorScope&) = delete;

  void Engage() {
    if (engaged_) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    engaged_ = true;
  }

 private:
  bool engaged_ = false;
};

}  // namespace foliotally
