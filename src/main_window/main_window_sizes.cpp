// "View" > "Pages by Size": the files of the last count, measured in a window of their own.
#include "main_window/main_window.h"
#include "size_window/pages_by_size_window.h"

namespace foliotally {

void TfrmMain::PagesBySize1Click(QObject*) {
  // The window deletes itself when closed; it measures its own copy of the names, so a new
  // count meanwhile does not disturb it.
  auto* window = new PagesBySizeWindow(FLastCountFiles, PagesBySizeWindow::MeasureFile, this);
  window->show();
}

}  // namespace foliotally
