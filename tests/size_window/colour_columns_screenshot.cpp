// Saves a picture of "Pages by Size" with its colour columns, for the documentation:
//   colour_columns_screenshot OUT.png FILE.pdf...
// The window measures the files, reads their colours (drawing with pdftoppm where it must)
// and is grabbed once both are done.
#include <QApplication>
#include <QCheckBox>
#include <QPixmap>
#include <QTest>
#include <string>
#include <vector>

#include "size_window/pages_by_size_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  std::vector<std::string> files(argv + 2, argv + argc);
  foliotally::PagesBySizeWindow window(files);
  window.setAttribute(Qt::WA_DeleteOnClose, false);
  window.resize(760, 300);
  window.show();
  window.findChild<QCheckBox*>("ColourPages")->setChecked(true);
  for (int i = 0; i < 12000 && window.gathering(); ++i) QTest::qWait(10);
  QTest::qWait(300);
  return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
