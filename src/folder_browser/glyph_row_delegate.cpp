#include "folder_browser/glyph_row_delegate.h"

#include <QApplication>
#include <QPainter>

#include "folder_browser/name_rows_model.h"

namespace foliotally {

GlyphRowDelegate::GlyphRowDelegate(const FolderGlyphSet& glyphs, QObject* parent)
    : QStyledItemDelegate(parent), glyphs_(glyphs) {}

void GlyphRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QWidget* widget = opt.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  // Background and selection, without the style's own text and icon.
  opt.text.clear();
  opt.icon = QIcon();
  opt.features &= ~QStyleOptionViewItem::HasDecoration;
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

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
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group =
      option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
  painter->save();
  painter->setPen(
      option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  painter->setFont(option.font);
  const QString text = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                     Qt::ElideRight, text_rect.width());
  painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
  painter->restore();
}

QSize GlyphRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  int width = index.data(NameRowsModel::kIndentRole).toInt() + kGlyphWidth + text_gap_ +
              option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
  return QSize(width, row_height_);
}

}  // namespace foliotally
