#include "folder_browser/glyph_row_delegate.h"

#include <QPainter>

#include "folder_browser/name_rows_model.h"
#include "folder_browser/row_painting.h"

namespace foliotally {

GlyphRowDelegate::GlyphRowDelegate(const FolderGlyphSet& glyphs, QObject* parent)
    : QStyledItemDelegate(parent), glyphs_(glyphs) {}

void GlyphRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  PaintRowBackground(painter, opt);

  const QRect row = option.rect;
  const int indent = index.data(NameRowsModel::kIndentRole).toInt();
  int text_left = row.left() + indent;
  const auto glyph = static_cast<FolderGlyph>(index.data(NameRowsModel::kGlyphRole).toInt());
  if (show_glyphs_ && glyph != FolderGlyph::kNone) {
    const QPixmap& pixmap = glyphs_.Pixmap(glyph);
    const int top = row.top() + (row.height() - pixmap.height()) / 2;
    painter->drawPixmap(row.left() + indent, top, pixmap);
    text_left += pixmap.width() + text_gap_;
  }
  const QRect text_rect(text_left, row.top(), row.right() - text_left, row.height());
  PaintRowText(painter, option, index.data(Qt::DisplayRole).toString(), text_rect,
               RowTextPlacement::kTopClipped);
}

QSize GlyphRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  int width = index.data(NameRowsModel::kIndentRole).toInt() + kGlyphWidth + text_gap_ +
              option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
  return QSize(width, row_height_);
}

}  // namespace foliotally
