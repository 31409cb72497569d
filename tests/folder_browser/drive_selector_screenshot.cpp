// Shows the drive selector with its drop-down open over a volume table holding every kind
// of volume, and saves a picture of the screen around it. Run under an X server (Xvfb):
//   drive_selector_screenshot OUTPUT.png [CLOSED.png]
// The second picture, when asked for, shows the closed box alone.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

#include "folder_browser/drive_combo_box.h"
#include "support/fake_file_system.h"

namespace {

foliotally::Volume MakeVolume(const char* root, foliotally::VolumeKind kind, const char* label,
                              const char* source) {
  foliotally::Volume volume;
  volume.root = root;
  volume.kind = kind;
  volume.label = label;
  volume.source = source;
  return volume;
}

}  // namespace

int main(int argc, char** argv) {
  using foliotally::VolumeKind;
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);

  foliotally::test::FakeFileSystem fs;
  fs.SetVolumes({MakeVolume("/", VolumeKind::kFixed, "System", "/dev/sda2"),
                 MakeVolume("/home", VolumeKind::kFixed, "Home", "/dev/sda3"),
                 MakeVolume("/media/sdcard", VolumeKind::kRemovable, "", "/dev/mmcblk0p1"),
                 MakeVolume("/media/usb", VolumeKind::kRemovable, "Stick", "/dev/sdb1"),
                 MakeVolume("/media/cdrom", VolumeKind::kOptical, "", "/dev/sr0"),
                 MakeVolume("/mnt/share", VolumeKind::kNetwork, "", "//srv/share"),
                 MakeVolume("/scratch", VolumeKind::kRam, "", "tmpfs")});

  QWidget window;
  window.setWindowTitle("Drive selector");
  auto* layout = new QVBoxLayout(&window);
  auto* box = new foliotally::TDriveComboBox(fs, &window);
  box->SetTextCase(foliotally::TTextCase::tcUpperCase);
  layout->addWidget(box);
  layout->addStretch();
  window.setGeometry(40, 40, 260, 220);
  window.show();

  int status = 1;
  QTimer::singleShot(300, [&] {
    if (argc > 2) box->grab().save(QString::fromLocal8Bit(argv[2]));
    box->showPopup();
  });
  QTimer::singleShot(900, [&] {
    const QRect area = window.frameGeometry().adjusted(-10, -10, 60, 60);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                      area.width(), area.height());
    status = shot.save(output) ? 0 : 1;
    app.quit();
  });
  app.exec();
  return status;
}
