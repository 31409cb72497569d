// The program's pictures (the main window's banner and the about box's logo), shipped
// inside the program as Qt resources and decoded with libjpeg.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace foliotally {

// Decodes JPEG bytes into an RGB image; a null image when they do not decode, with the
// reason in `error` when it is given.
QImage JpegToImage(const QByteArray& bytes, QString* error = nullptr);

// Reads and decodes a JPEG file or resource (":/pictures/..."); a null image when it is
// missing or damaged, so the picture box that shows it simply stays empty.
QImage LoadJpegPicture(const QString& path);

// The banner under the folder browser (209 x 33, shown stretched to its box). Null when
// the picture cannot be decoded.
QPixmap BannerPicture();

// The logo at the top of the about box (313 x 105). Null when it cannot be decoded.
QPixmap LogoPicture();

}  // namespace foliotally
