#include "folder_browser/folder_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace foliotally {
namespace {

const QColor kOutline(96, 72, 0);
const QColor kFolderBack(230, 180, 60);
const QColor kFolderFront(255, 214, 102);
const QColor kPaper(255, 255, 255);
const QColor kPaperEdge(90, 90, 90);

void DrawClosedFolder(QPainter& p) {
  p.setPen(kOutline);
  p.setBrush(kFolderBack);
  // Tab, then body.
  p.drawPolygon(QPolygonF({{1.5, 3.5}, {6.5, 3.5}, {7.5, 4.5}, {7.5, 5.5}, {1.5, 5.5}}));
  p.setBrush(kFolderFront);
  p.drawRect(QRectF(1.5, 5.5, 13, 8));
}

void DrawOpenFolder(QPainter& p, const QColor& front) {
  p.setPen(kOutline);
  p.setBrush(kFolderBack);
  p.drawPolygon(
      QPolygonF({{1.5, 3.5}, {6.5, 3.5}, {7.5, 4.5}, {13.5, 4.5}, {13.5, 6.5}, {1.5, 13.5}}));
  // The front flap, tilted open.
  p.setBrush(front);
  p.drawPolygon(QPolygonF({{4.5, 7.5}, {15.5, 7.5}, {12.5, 13.5}, {1.5, 13.5}}));
}

void DrawPage(QPainter& p) {
  p.setPen(kPaperEdge);
  p.setBrush(kPaper);
  p.drawPolygon(QPolygonF({{3.5, 0.5}, {9.5, 0.5}, {12.5, 3.5}, {12.5, 14.5}, {3.5, 14.5}}));
  p.drawPolyline(QPolygonF({{9.5, 0.5}, {9.5, 3.5}, {12.5, 3.5}}));
}

void DrawUnknownFile(QPainter& p) {
  DrawPage(p);
  p.setPen(QColor(150, 150, 150));
  for (double y = 6.5; y < 13; y += 2) p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
}

void DrawExecutable(QPainter& p) {
  // A small window with a title bar.
  p.setPen(kPaperEdge);
  p.setBrush(kPaper);
  p.drawRect(QRectF(0.5, 2.5, 14, 10));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 160));
  p.drawRect(QRectF(1, 3, 14, 2.5));
}

}  // namespace

QPixmap DrawFolderGlyph(FolderGlyph glyph) {
  if (glyph == FolderGlyph::kNone) return {};
  QPixmap pixmap(kGlyphWidth, kGlyphHeight);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, false);
  switch (glyph) {
    case FolderGlyph::kExecutable:
      DrawExecutable(p);
      break;
    case FolderGlyph::kUnknownFile:
      DrawUnknownFile(p);
      break;
    case FolderGlyph::kClosedFolder:
      DrawClosedFolder(p);
      break;
    case FolderGlyph::kOpenFolder:
      DrawOpenFolder(p, kFolderFront);
      break;
    case FolderGlyph::kCurrentFolder:
      // The open folder, with its flap lit to mark where the user is.
      DrawOpenFolder(p, QColor(255, 246, 200));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0, 120, 215));
      p.drawEllipse(QRectF(8, 8.5, 4, 4));
      break;
    case FolderGlyph::kNone:
      break;
  }
  return pixmap;
}

FolderGlyphSet::FolderGlyphSet() {
  for (int i = 0; i < 6; ++i) pixmaps_[i] = DrawFolderGlyph(static_cast<FolderGlyph>(i));
}

const QPixmap& FolderGlyphSet::Pixmap(FolderGlyph glyph) const {
  return pixmaps_[static_cast<int>(glyph)];
}

}  // namespace foliotally
