// Program entry: the application object, the main window and the message loop.
#include <QApplication>
#include <string>

#include "main_window/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Foliotally");
  // On Linux the launcher has already split the arguments; an empty one counts as none.
  std::string startupFile = argc > 1 ? argv[1] : "";
  foliotally::TfrmMain window(startupFile);
  window.show();
  return app.exec();
}
