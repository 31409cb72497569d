#include "folder_browser/drive_glyphs.h"

#include <QPainter>
#include <QPolygonF>

namespace foliotally {
namespace {

const QColor kEdge(64, 64, 64);
const QColor kMetal(192, 192, 192);
const QColor kMetalDark(128, 128, 128);

// A stick with its plug: the removable card or USB drive.
void DrawRemovable(QPainter& p) {
  p.setPen(kEdge);
  p.setBrush(QColor(40, 90, 200));
  p.drawRect(QRectF(0.5, 2.5, 10, 6));
  p.setBrush(kMetal);
  p.drawRect(QRectF(10.5, 3.5, 5, 4));
  p.setPen(Qt::NoPen);
  p.setBrush(kEdge);
  p.drawRect(QRectF(12, 4.5, 1.5, 1));
  p.drawRect(QRectF(12, 6, 1.5, 1));
  p.setBrush(QColor(250, 250, 250));
  p.drawRect(QRectF(2, 4, 5, 3));  // label
}

// A flat drive case with its activity light.
void DrawFixed(QPainter& p) {
  p.setPen(kEdge);
  p.setBrush(kMetal);
  p.drawRect(QRectF(0.5, 3.5, 15, 6));
  p.setPen(kMetalDark);
  p.drawLine(QPointF(1.5, 4.5), QPointF(14.5, 4.5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 200, 0));
  p.drawRect(QRectF(12, 7, 2, 1.5));
}

// The drive case on a cable to the network below.
void DrawNetwork(QPainter& p) {
  p.setPen(kEdge);
  p.setBrush(kMetal);
  p.drawRect(QRectF(0.5, 0.5, 15, 5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 200, 0));
  p.drawRect(QRectF(12, 3, 2, 1.5));
  p.setPen(QColor(0, 110, 0));
  p.drawLine(QPointF(7.5, 6), QPointF(7.5, 9.5));
  p.drawLine(QPointF(1.5, 9.5), QPointF(14.5, 9.5));
}

// A disc with its hole.
void DrawOptical(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(kMetalDark);
  p.setBrush(QColor(220, 220, 235));
  p.drawEllipse(QRectF(2.5, 0.5, 10, 10));
  p.setPen(QColor(150, 150, 200));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(4.5, 2.5, 6, 6));
  p.setPen(kMetalDark);
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(6, 4, 3, 3));
}

// A memory chip with its pins.
void DrawRam(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 120, 40));
  p.drawRect(QRectF(0, 2, 16, 6));
  p.setBrush(QColor(30, 30, 30));
  p.drawRect(QRectF(2, 3, 4, 4));
  p.drawRect(QRectF(7, 3, 4, 4));
  p.setBrush(QColor(210, 170, 40));
  for (int x = 1; x < 16; x += 2) p.drawRect(QRectF(x, 8, 1, 2));
}

int SlotOf(VolumeKind kind) { return static_cast<int>(kind); }

}  // namespace

QPixmap DrawDriveGlyph(VolumeKind kind) {
  QPixmap pixmap(kDriveGlyphWidth, kDriveGlyphHeight);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, false);
  switch (kind) {
    case VolumeKind::kRemovable:
      DrawRemovable(p);
      break;
    case VolumeKind::kFixed:
      DrawFixed(p);
      break;
    case VolumeKind::kNetwork:
      DrawNetwork(p);
      break;
    case VolumeKind::kOptical:
      DrawOptical(p);
      break;
    case VolumeKind::kRam:
      DrawRam(p);
      break;
  }
  return pixmap;
}

DriveGlyphSet::DriveGlyphSet() {
  for (VolumeKind kind : {VolumeKind::kRemovable, VolumeKind::kFixed, VolumeKind::kNetwork,
                          VolumeKind::kOptical, VolumeKind::kRam})
    pixmaps_[SlotOf(kind)] = DrawDriveGlyph(kind);
}

const QPixmap& DriveGlyphSet::Pixmap(VolumeKind kind) const { return pixmaps_[SlotOf(kind)]; }

}  // namespace foliotally
