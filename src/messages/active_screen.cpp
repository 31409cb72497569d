#include "messages/active_screen.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

namespace foliotally {

QScreen* ActiveScreen() {
  if (QWidget* active = QApplication::activeWindow(); active != nullptr && active->screen())
    return active->screen();
  return QGuiApplication::primaryScreen();
}

}  // namespace foliotally
