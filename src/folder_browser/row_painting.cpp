#include "folder_browser/row_painting.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>

namespace foliotally {

void PaintRowBackground(QPainter* painter, QStyleOptionViewItem option) {
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  option.text.clear();
  option.icon = QIcon();
  option.features &= ~QStyleOptionViewItem::HasDecoration;
  style->drawControl(QStyle::CE_ItemViewItem, &option, painter, widget);
}

void PaintRowText(QPainter* painter, const QStyleOptionViewItem& option, const QString& text,
                  const QRect& text_rect, RowTextPlacement placement) {
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group =
      option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
  painter->save();
  painter->setPen(
      option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  painter->setFont(option.font);
  if (placement == RowTextPlacement::kTopClipped) {
    // Without Qt::TextDontClip the text is cut at the rectangle's edges.
    painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  } else {
    const QString shown = option.fontMetrics.elidedText(text, Qt::ElideRight, text_rect.width());
    painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
  }
  painter->restore();
}

}  // namespace foliotally
