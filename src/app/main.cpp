#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Foliotally");
  QMainWindow w;
  w.setWindowTitle("Foliotally");
  w.show();
  return app.exec();
}
