#include "dragdrop/qt/e2e/gtk_file_manager.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

namespace foliotally::test {
namespace {

const QString kProgram = QStringLiteral("thunar");

// Its view and size fixed, no side pane, the location as buttons (no text field that could
// take the keyboard and show a selection of its own), no thumbnails: the same window on
// every machine.
const char kSettings[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="thunar" version="1.0">
  <property name="last-view" type="string" value="ThunarIconView"/>
  <property name="last-location-bar" type="string" value="ThunarLocationButtons"/>
  <property name="last-side-pane" type="string" value="void"/>
  <property name="last-window-width" type="int" value="%1"/>
  <property name="last-window-height" type="int" value="%2"/>
  <property name="last-window-maximized" type="bool" value="false"/>
  <property name="misc-thumbnail-mode" type="string" value="THUNAR_THUMBNAIL_MODE_NEVER"/>
</channel>
)";

// GTK's default theme marks a selection with this blue; a few steps either way allow for
// the smoothing of the highlight's corners.
bool IsSelectionBlue(const Pixel& pixel) {
  return std::abs(pixel.red - 0x35) <= 6 && std::abs(pixel.green - 0x84) <= 6 &&
         std::abs(pixel.blue - 0xe4) <= 6;
}

// The settings daemon's program, as the bus would start it.
QString SettingsDaemon() {
  for (const QString& folder :
       QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
    QFile service(folder + "/dbus-1/services/org.xfce.Xfconf.service");
    if (!service.open(QIODevice::ReadOnly)) continue;
    for (const QByteArray& line : service.readAll().split('\n')) {
      if (line.startsWith("Exec=")) return QString::fromUtf8(line.mid(5)).trimmed();
    }
  }
  return {};
}

// Runs `program` until it succeeds or `timeout_ms` has passed.
bool RunUntil(const QString& program, const QStringList& args, int timeout_ms) {
  const QDeadlineTimer deadline(timeout_ms);
  while (ChildProcess::Run(program, args) != 0) {
    if (deadline.hasExpired()) return false;
    QThread::msleep(50);
  }
  return true;
}

}  // namespace

bool GtkFileManager::Installed() {
  return !QStandardPaths::findExecutable(kProgram).isEmpty() &&
         !QStandardPaths::findExecutable("dbus-daemon").isEmpty() &&
         !QStandardPaths::findExecutable("dbus-send").isEmpty() && !SettingsDaemon().isEmpty();
}

bool GtkFileManager::Start(const QString& folder, const QRect& frame) {
  frame_ = frame;
  if (!home_.isValid()) return false;
  const QDir home(home_.path());
  for (const char* name : {"config/xfce4/xfconf/xfce-perchannel-xml", "cache", "data", "run"})
    home.mkpath(name);
  QFile::setPermissions(home.filePath("run"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QFile settings(home.filePath("config/xfce4/xfconf/xfce-perchannel-xml/thunar.xml"));
  if (!settings.open(QIODevice::WriteOnly)) return false;
  settings.write(QString(kSettings).arg(frame.width()).arg(frame.height()).toUtf8());
  settings.close();

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", home.path());
  env.insert("XDG_CONFIG_HOME", home.filePath("config"));
  env.insert("XDG_CACHE_HOME", home.filePath("cache"));
  env.insert("XDG_DATA_HOME", home.filePath("data"));
  env.insert("XDG_RUNTIME_DIR", home.filePath("run"));
  env.insert("LC_ALL", "C.UTF-8");  // its window title in English
  env.insert("GDK_BACKEND", "x11");
  env.insert("GTK_THEME", "Adwaita");
  env.insert("NO_AT_BRIDGE", "1");
  env.insert("GIO_USE_VFS", "local");
  env.remove("WAYLAND_DISPLAY");
  env.remove("DBUS_SESSION_BUS_ADDRESS");
  const QString errors = home.filePath("errors.txt");

  bus_ = std::make_unique<ChildProcess>("dbus-daemon",
                                        QStringList{"--session", "--nofork", "--print-address"},
                                        home.path(), env, errors);
  const auto address = bus_->WaitFor([](const QString& l) { return l.startsWith("unix:"); });
  if (!address) return false;
  env.insert("DBUS_SESSION_BUS_ADDRESS", *address);
  // Its settings daemon is started here rather than by the bus, so that it has ended (and
  // written what it keeps) before the home is removed; the file manager must find it.
  settings_ =
      std::make_unique<ChildProcess>(SettingsDaemon(), QStringList{}, home.path(), env, errors);
  if (!RunUntil(
          "dbus-send",
          {"--bus=" + *address, "--print-reply", "--dest=org.freedesktop.DBus",
           "/org/freedesktop/DBus", "org.freedesktop.DBus.GetNameOwner", "string:org.xfce.Xfconf"},
          10000))
    return false;
  manager_ =
      std::make_unique<ChildProcess>(kProgram, QStringList{folder}, home.path(), env, errors);

  const QString title = "^" + QFileInfo(folder).fileName() + " - Thunar$";
  if (!RunUntil("xdotool", {"search", "--onlyvisible", "--name", title}, 30000)) return false;
  // No window manager places it: it goes where it is told, and the clicks that follow must
  // find it there.
  return RunUntil("xdotool",
                  {"search", "--onlyvisible", "--name", title, "windowmove", "--sync",
                   QString::number(frame.x()), QString::number(frame.y()), "windowsize", "--sync",
                   QString::number(frame.width()), QString::number(frame.height())},
                  5000);
}

std::optional<QPoint> GtkFileManager::SelectAll() {
  // A click where nothing is gives the folder view the keyboard; Ctrl+A then selects.
  const QPoint empty = EmptySpot();
  if (ChildProcess::Run("xdotool", {"mousemove", QString::number(empty.x()),
                                    QString::number(empty.y()), "click", "1", "key", "ctrl+a"}) !=
      0)
    return std::nullopt;
  const QDeadlineTimer deadline(5000);
  for (;;) {
    if (const auto selection = screen_.BoundsOf(frame_, IsSelectionBlue))
      return selection->center();
    if (deadline.hasExpired()) return std::nullopt;
    QThread::msleep(50);
  }
}

QString GtkFileManager::Errors() const {
  QFile errors(QDir(home_.path()).filePath("errors.txt"));
  return errors.open(QIODevice::ReadOnly) ? QString::fromUtf8(errors.readAll()) : QString();
}

}  // namespace foliotally::test
