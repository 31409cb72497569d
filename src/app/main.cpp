// Program entry: the application object, the main window and the message loop.
#include <string>

#include "main_window/main_window.h"
#include "messages/application.h"

int main(int argc, char** argv) {
  // The application object reports every error that escapes an event handler and goes on.
  foliotally::TApplication app(argc, argv);
  // On Linux the launcher has already split the arguments; an empty one counts as none.
  std::string startup_file = argc > 1 ? argv[1] : "";
  foliotally::TfrmMain window(startup_file);
  window.show();
  return app.exec();
}
