// The small pictures in front of the drive selector's rows, one per kind of volume, drawn
// in code: 16 x 11 pixels with a transparent background.
#pragma once

#include <QPixmap>

#include "platform/volume.h"

namespace foliotally {

inline constexpr int kDriveGlyphWidth = 16;
inline constexpr int kDriveGlyphHeight = 11;

// Draws the glyph of one kind of volume.
QPixmap DrawDriveGlyph(VolumeKind kind);

// The five glyphs a drive selector owns, drawn once when the selector is made.
class DriveGlyphSet {
 public:
  DriveGlyphSet();
  const QPixmap& Pixmap(VolumeKind kind) const;

 private:
  QPixmap pixmaps_[5];
};

}  // namespace foliotally
