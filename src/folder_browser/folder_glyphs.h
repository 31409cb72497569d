// The small pictures in front of the rows of the file and directory lists, drawn in code:
// 16 x 15 pixels with a transparent background.
#pragma once

#include <QPixmap>

namespace foliotally {

enum class FolderGlyph {
  kNone,
  kExecutable,
  kUnknownFile,
  kClosedFolder,
  kOpenFolder,
  kCurrentFolder
};

inline constexpr int kGlyphWidth = 16;
inline constexpr int kGlyphHeight = 15;

// Draws one glyph. kNone gives a null pixmap.
QPixmap DrawFolderGlyph(FolderGlyph glyph);

// The glyphs a list owns, drawn once when the list is made.
class FolderGlyphSet {
 public:
  FolderGlyphSet();
  const QPixmap& Pixmap(FolderGlyph glyph) const;

 private:
  QPixmap pixmaps_[6];
};

}  // namespace foliotally
