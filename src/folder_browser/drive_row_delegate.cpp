#include "folder_browser/drive_row_delegate.h"

#include <QIcon>
#include <QPainter>

#include "folder_browser/drive_glyphs.h"
#include "folder_browser/row_painting.h"

namespace foliotally {
namespace {

constexpr int kGlyphLeft = 2;
constexpr int kTextGap = 6;

QPixmap GlyphOf(const QModelIndex& index) {
  const QIcon icon = qvariant_cast<QIcon>(index.data(Qt::DecorationRole));
  return icon.isNull() ? QPixmap() : icon.pixmap(QSize(kDriveGlyphWidth, kDriveGlyphHeight));
}

}  // namespace

DriveRowDelegate::DriveRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void DriveRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  PaintRowBackground(painter, opt);

  const QRect row = option.rect;
  const QPixmap glyph = GlyphOf(index);
  // The text starts a glyph's width and the gap from the row's left edge, not from the
  // glyph's; rows without a glyph keep their text in line with the others.
  const int text_left = row.left() + kDriveGlyphWidth + kTextGap;
  if (!glyph.isNull()) {
    const int top = row.top() + (row.height() - kDriveGlyphHeight) / 2;
    painter->drawPixmap(row.left() + kGlyphLeft, top, glyph);
  }
  const QRect text_rect(text_left, row.top(), row.right() - text_left, row.height());
  PaintRowText(painter, option, index.data(Qt::DisplayRole).toString(), text_rect,
               RowTextPlacement::kCentredElided);
}

QSize DriveRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  const int width = kDriveGlyphWidth + kTextGap +
                    option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) +
                    kGlyphLeft;
  return QSize(width, row_height_);
}

}  // namespace foliotally
