#include "about/pictures.h"

#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstring>
#include <span>

#include "about/jpeg_decoder.h"

// The resources are compiled into a static library: referencing their initialiser pulls
// them into every program that uses the pictures. Q_INIT_RESOURCE must be used outside any
// namespace.
static void InitPictureResources() { Q_INIT_RESOURCE(pictures); }

namespace foliotally {
namespace {

// Pictures larger than this are not ours; refuse them rather than read them whole.
constexpr qint64 kMaxPictureFileBytes = 16 * 1024 * 1024;

}  // namespace

QImage JpegToImage(const QByteArray& bytes, QString* error) {
  const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           static_cast<std::size_t>(bytes.size()));
  JpegDecodeResult decoded = DecodeJpeg(data);
  if (!decoded.ok()) {
    if (error != nullptr) *error = QString::fromStdString(decoded.error);
    return {};
  }
  const DecodedPicture& picture = *decoded.picture;
  QImage image(picture.width, picture.height, QImage::Format_RGB888);
  if (image.isNull()) {
    if (error != nullptr) *error = "Not enough memory for the picture";
    return {};
  }
  // QImage pads each row to four bytes; the decoder's rows are packed.
  const std::size_t stride = static_cast<std::size_t>(picture.width) * 3;
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(image.scanLine(y), picture.rgb.data() + stride * y, stride);
  return image;
}

QImage LoadJpegPicture(const QString& path) {
  InitPictureResources();
  // Only a regular file or resource of sane size is read: opening a FIFO would block the
  // start, and a huge file is no picture of ours.
  const QFileInfo info(path);
  if (!info.isFile() || info.size() > kMaxPictureFileBytes) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return JpegToImage(file.readAll());
}

QPixmap BannerPicture() { return QPixmap::fromImage(LoadJpegPicture(":/pictures/banner.jpg")); }

QPixmap LogoPicture() { return QPixmap::fromImage(LoadJpegPicture(":/pictures/logo.jpg")); }

}  // namespace foliotally
