#include "dragdrop/qt/background_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMetaObject>
#include <cstdlib>

namespace foliotally::dragdrop {
namespace {

// An owner that does not answer within this time pastes nothing.
constexpr std::chrono::milliseconds kReadLimit{5000};

class TRawMimeData : public QMimeData {
 public:
  TRawMimeData(QString type, QByteArray bytes) : type_(std::move(type)), bytes_(std::move(bytes)) {}
  bool hasFormat(const QString& type) const override { return type == type_; }
  QStringList formats() const override { return {type_}; }

 protected:
  QVariant retrieveData(const QString& type, QMetaType) const override {
    return type == type_ ? QVariant(bytes_) : QVariant();
  }

 private:
  QString type_;
  QByteArray bytes_;
};

}  // namespace

std::unique_ptr<QMimeData> MimeDataOf(TClipboardPayload payload) {
  return std::make_unique<TRawMimeData>(QString::fromStdString(payload.mimeType),
                                        QByteArray::fromStdString(payload.bytes));
}

TBackgroundClipboard::~TBackgroundClipboard() {
  if (thread_.joinable()) thread_.join();
}

bool TBackgroundClipboard::Available() {
  const char* display = std::getenv("DISPLAY");
  QClipboard* clipboard = QGuiApplication::clipboard();
  return QGuiApplication::platformName() == "xcb" && display != nullptr && *display != '\0' &&
         clipboard != nullptr && !clipboard->ownsClipboard();
}

void TBackgroundClipboard::Read(std::vector<std::string> wanted, Done done) {
  if (reading_) return;
  if (thread_.joinable()) thread_.join();  // ended already: its result was delivered
  reading_ = true;
  thread_ = std::thread([this, wanted = std::move(wanted), done = std::move(done)]() mutable {
    std::optional<TClipboardPayload> payload = ReadX11Clipboard(wanted, kReadLimit);
    QMetaObject::invokeMethod(
        this,
        [this, done = std::move(done), payload = std::move(payload)]() mutable {
          reading_ = false;
          done(std::move(payload));
        },
        Qt::QueuedConnection);
  });
}

}  // namespace foliotally::dragdrop
