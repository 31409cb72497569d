#include "folder_browser/drive_row_delegate.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>

#include "folder_browser/drive_glyphs.h"

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
  const QWidget* widget = opt.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  // Background and selection only; glyph and text are placed below.
  opt.text.clear();
  opt.icon = QIcon();
  opt.features &= ~QStyleOptionViewItem::HasDecoration;
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

  const QRect row = option.rect;
  const QPixmap glyph = GlyphOf(index);
  // Rows without a glyph keep their text in line with the others.
  const int text_left = row.left() + kGlyphLeft + kDriveGlyphWidth + kTextGap;
  if (!glyph.isNull()) {
    const int top = row.top() + (row.height() - kDriveGlyphHeight) / 2;
    painter->drawPixmap(row.left() + kGlyphLeft, top, glyph);
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
  // Plain drawText never reads '&' as a mnemonic marker.
  painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
  painter->restore();
}

QSize DriveRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  const int width = kGlyphLeft + kDriveGlyphWidth + kTextGap +
                    option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) +
                    kGlyphLeft;
  return QSize(width, row_height_);
}

}  // namespace foliotally
